// Symbolic links of the POSIX build: readlink on the path's UTF-8 form.
#include "platform/symbolic_link.h"

#include <unistd.h>

#include <cerrno>

#include "platform/native_path.h"
#include "platform/utf8.h"

LinkAtPath ReadSymbolicLink(const std::u16string& path, std::u16string& target) {
    std::string native;
    if (!NativePath(path, native)) return LinkAtPath::None;  // no such name on disk
    std::string held(4096, '\0');
    const ssize_t length = readlink(native.c_str(), &held[0], held.size());
    if (length < 0) return errno == EINVAL || errno == ENOENT ? LinkAtPath::None
                                                              : LinkAtPath::Unreadable;
    if (static_cast<size_t>(length) >= held.size()) return LinkAtPath::Unreadable;
    held.resize(static_cast<size_t>(length));
    // A path that is not UTF-8 has no wide name that leads back to it.
    std::u16string wide = Utf8ToUtf16(held);
    if (Utf16ToUtf8(wide) != held) return LinkAtPath::Unreadable;
    target.swap(wide);
    return LinkAtPath::Link;
}
