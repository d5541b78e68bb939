// Conversions between the host's 16-bit wide text and the UTF-8 of files, scripts and records.
#pragma once

#include <string>

#include "platform/utf8.h"

namespace sim {

// UTF-8 to UTF-16 and back, as the Windows layer converts paths; malformed input becomes U+FFFD.
using ::Utf16ToUtf8;
using ::Utf8ToUtf16;

// The wide text at text up to its terminator, reading at most limit characters; empty for null.
std::u16string WideFromBuffer(const char16_t* text, size_t limit);
// Copies text into a wide buffer of capacity characters, terminator included, cutting what does
// not fit; false when it had to cut. Nothing is written when capacity is 0.
bool CopyToWideBuffer(const std::u16string& text, char16_t* buffer, size_t capacity);

}  // namespace sim

namespace sim {

// The host's narrow text: the ANSI code page Windows-1252, one byte per wide character; a
// character the code page lacks becomes '?'.
std::string WideToAnsi(const std::u16string& text);
std::u16string AnsiToWide(const std::string& text);

}  // namespace sim
