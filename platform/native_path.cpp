#include "platform/native_path.h"

#include "platform/utf8.h"

namespace {

bool HasLoneSurrogate(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool NativePath(std::u16string_view windowsPath, std::string& out)
{
    if (HasLoneSurrogate(windowsPath)) return false;
    out = Utf16ToUtf8(windowsPath);
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return true;
}
