#include "simhost/wide_text.h"

namespace sim {

std::u16string WideFromBuffer(const char16_t* text, size_t limit) {
    std::u16string out;
    if (!text) return out;
    for (size_t i = 0; i < limit && text[i] != 0; ++i) out += text[i];
    return out;
}

bool CopyToWideBuffer(const std::u16string& text, char16_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0) return false;
    const size_t count = text.size() < capacity ? text.size() : capacity - 1;
    text.copy(buffer, count);
    buffer[count] = 0;
    return count == text.size();
}

}  // namespace sim

namespace sim {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char AnsiByte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string WideToAnsi(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) out += AnsiByte(unit);
    return out;
}

std::u16string AnsiToWide(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (char byte : text) {
        const auto value = static_cast<unsigned char>(byte);
        const char16_t high = value >= 0x80 && value < 0xA0 ? kCp1252High[value - 0x80] : 0;
        out += value >= 0x80 && value < 0xA0 ? (high ? high : static_cast<char16_t>(value))
                                             : static_cast<char16_t>(value);
    }
    return out;
}

}  // namespace sim
