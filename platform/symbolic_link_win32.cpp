// Symbolic links on Windows: the reparse point of a file with FILE_ATTRIBUTE_REPARSE_POINT,
// read with FSCTL_GET_REPARSE_POINT from a handle on the link itself.
#include "platform/symbolic_link.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "platform/win32_wide.h"

namespace {

#ifndef IO_REPARSE_TAG_SYMLINK
#define IO_REPARSE_TAG_SYMLINK 0xA000000CL
#endif
#ifndef MAXIMUM_REPARSE_DATA_BUFFER_SIZE
#define MAXIMUM_REPARSE_DATA_BUFFER_SIZE (16 * 1024)
#endif

// The layout of a symbolic link's reparse data: the tag, the data length, a reserved word, then
// the offsets (in bytes from the path buffer) and lengths of the substitute and the print name,
// the flags, and the path buffer.
constexpr size_t kTagAt = 0;
constexpr size_t kSubstituteOffsetAt = 8;
constexpr size_t kPrintOffsetAt = 12;
constexpr size_t kPathBufferAt = 20;

template <typename T>
T Field(const std::vector<unsigned char>& data, size_t at) {
    T value;
    std::memcpy(&value, data.data() + at, sizeof value);
    return value;
}

// The name at the offset and length stored at fieldAt; false when it lies outside the data.
bool NameAt(const std::vector<unsigned char>& data, size_t fieldAt, size_t size,
            std::u16string& name) {
    const size_t offset = Field<WORD>(data, fieldAt);
    const size_t length = Field<WORD>(data, fieldAt + 2);
    if (kPathBufferAt + offset + length > size || length % 2 != 0) return false;
    name.resize(length / 2);
    std::memcpy(&name[0], data.data() + kPathBufferAt + offset, length);
    return true;
}

}  // namespace

LinkAtPath ReadSymbolicLink(const std::u16string& path, std::u16string& target) {
    const DWORD attributes = GetFileAttributesW(Win32Wide(path.c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return LinkAtPath::None;
    const HANDLE link = CreateFileW(Win32Wide(path.c_str()), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                    nullptr);
    if (link == INVALID_HANDLE_VALUE) return LinkAtPath::Unreadable;
    std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    const BOOL read = DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                      static_cast<DWORD>(data.size()), &size, nullptr);
    CloseHandle(link);
    if (!read || size < kPathBufferAt) return LinkAtPath::Unreadable;
    if (Field<DWORD>(data, kTagAt) != IO_REPARSE_TAG_SYMLINK) return LinkAtPath::None;
    // The print name is the path as the link's maker gave it; the substitute name is the same
    // path in the system's form, "\??\C:\...", for a link made without a print name.
    std::u16string name;
    if (!NameAt(data, kPrintOffsetAt, size, name)) return LinkAtPath::Unreadable;
    if (name.empty()) {
        if (!NameAt(data, kSubstituteOffsetAt, size, name)) return LinkAtPath::Unreadable;
        if (name.rfind(u"\\??\\", 0) == 0) name.erase(0, 4);
    }
    if (name.empty()) return LinkAtPath::Unreadable;
    target.swap(name);
    return LinkAtPath::Link;
}
