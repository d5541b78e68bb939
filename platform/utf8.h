// Conversions between UTF-16 (the Windows wide text) and UTF-8 (paths and text on disk in the
// POSIX build). Malformed input never fails: an unpaired surrogate or an invalid UTF-8 sequence
// becomes U+FFFD, so a conversion always answers some text.
#pragma once

#include <string>
#include <string_view>

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
