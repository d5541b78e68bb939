// ANSI code page conversions of the POSIX build: Windows-1252, converted as Windows converts it.
#include "platform/posix/win32_text.h"

#include <cstddef>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Windows-1252 at 0x80 to 0x9F. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value, as on Windows.
constexpr char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Best-fit letters for Latin Extended-A (U+0100 to U+017F): the letter without its accent, 0
// where Windows has no best fit. The seven of them that Windows-1252 holds are mapped exactly
// before this table is asked.
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDd\xD0" "dEeEeEeEeEeGgGgGgGgHhHh"
    "IiIiIiIiIi\0\0JjKk\0LlLlLlLlLlNnNnNn\0\0\0OoOoOo\0\0"
    "RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYy\0ZzZz\0\0\0";
static_assert(sizeof(kLatinExtendedA) == 0x80 + 1, "one entry per character of the block");

bool IsCombiningMark(char16_t c) { return c >= 0x0300 && c <= 0x036F; }

// Precomposed characters of the code page and their decomposition, for WC_COMPOSITECHECK.
struct Composite {
    char16_t base;
    char16_t mark;
    unsigned char byte;
};

constexpr Composite kComposites[] = {
    {u'A', 0x300, 0xC0}, {u'A', 0x301, 0xC1}, {u'A', 0x302, 0xC2}, {u'A', 0x303, 0xC3},
    {u'A', 0x308, 0xC4}, {u'A', 0x30A, 0xC5}, {u'C', 0x327, 0xC7}, {u'E', 0x300, 0xC8},
    {u'E', 0x301, 0xC9}, {u'E', 0x302, 0xCA}, {u'E', 0x308, 0xCB}, {u'I', 0x300, 0xCC},
    {u'I', 0x301, 0xCD}, {u'I', 0x302, 0xCE}, {u'I', 0x308, 0xCF}, {u'N', 0x303, 0xD1},
    {u'O', 0x300, 0xD2}, {u'O', 0x301, 0xD3}, {u'O', 0x302, 0xD4}, {u'O', 0x303, 0xD5},
    {u'O', 0x308, 0xD6}, {u'U', 0x300, 0xD9}, {u'U', 0x301, 0xDA}, {u'U', 0x302, 0xDB},
    {u'U', 0x308, 0xDC}, {u'Y', 0x301, 0xDD}, {u'a', 0x300, 0xE0}, {u'a', 0x301, 0xE1},
    {u'a', 0x302, 0xE2}, {u'a', 0x303, 0xE3}, {u'a', 0x308, 0xE4}, {u'a', 0x30A, 0xE5},
    {u'c', 0x327, 0xE7}, {u'e', 0x300, 0xE8}, {u'e', 0x301, 0xE9}, {u'e', 0x302, 0xEA},
    {u'e', 0x308, 0xEB}, {u'i', 0x300, 0xEC}, {u'i', 0x301, 0xED}, {u'i', 0x302, 0xEE},
    {u'i', 0x308, 0xEF}, {u'n', 0x303, 0xF1}, {u'o', 0x300, 0xF2}, {u'o', 0x301, 0xF3},
    {u'o', 0x302, 0xF4}, {u'o', 0x303, 0xF5}, {u'o', 0x308, 0xF6}, {u'u', 0x300, 0xF9},
    {u'u', 0x301, 0xFA}, {u'u', 0x302, 0xFB}, {u'u', 0x308, 0xFC}, {u'y', 0x301, 0xFD},
    {u'y', 0x308, 0xFF}, {u'S', 0x30C, 0x8A}, {u's', 0x30C, 0x9A}, {u'Z', 0x30C, 0x8E},
    {u'z', 0x30C, 0x9E}, {u'Y', 0x308, 0x9F},
};

// The byte that stands for c in the code page, or -1 when it has none.
int ExactByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i) {
        if (kHighHalf[i] == c) return 0x80 + i;
    }
    return -1;
}

// The byte Windows substitutes for c when best fit is allowed, or -1.
int BestFitByte(char16_t c) {
    if (c >= 0x80 && c <= 0x9F) return c;  // the C1 controls keep their value
    if (c >= 0x100 && c <= 0x17F) {
        const char fit = kLatinExtendedA[c - 0x100];
        return fit ? static_cast<unsigned char>(fit) : -1;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFF01 + 0x21;  // full-width ASCII
    return -1;
}

int ComposedByte(char16_t base, char16_t mark) {
    for (const Composite& composite : kComposites) {
        if (composite.base == base && composite.mark == mark) return composite.byte;
    }
    return -1;
}

// The output side of a conversion: counts every unit and stores those that fit.
template <typename Unit>
class OutputUnits {
public:
    OutputUnits(Unit* buffer, int capacity) : buffer(buffer), capacity(capacity) {}

    void Put(Unit unit) {
        if (capacity == 0) {
            ++count;  // size query
            return;
        }
        if (count >= capacity) {
            overflow = true;
            return;
        }
        buffer[count++] = unit;
    }

    // The answer of the conversion: the count, or 0 with the error of a buffer too small.
    int Finish() const {
        if (overflow) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        return count;
    }

private:
    Unit* buffer;
    int capacity;
    int count = 0;
    bool overflow = false;
};

constexpr DWORD kKnownWideFlags =
    WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;

bool IsAnsiCodePage(UINT codePage) { return codePage == CP_ACP || codePage == 1252; }

// The number of input units: the length given, or up to and including the terminator.
template <typename Unit>
std::size_t InputLength(const Unit* text, int length) {
    if (length >= 0) return static_cast<std::size_t>(length);
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n + 1;
}

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
    if (!IsAnsiCodePage(CodePage) || lpWideCharStr == nullptr || cchWideChar == 0 ||
        cchWideChar < -1 || cbMultiByte < 0 || (lpMultiByteStr == nullptr && cbMultiByte != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((dwFlags & ~kKnownWideFlags) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const bool bestFit = (dwFlags & WC_NO_BEST_FIT_CHARS) == 0;
    const bool composite = (dwFlags & WC_COMPOSITECHECK) != 0;
    const char defaultChar = lpDefaultChar ? *lpDefaultChar : '?';
    bool usedDefault = false;

    OutputUnits<char> out(lpMultiByteStr, cbMultiByte);
    const std::size_t length = InputLength(lpWideCharStr, cchWideChar);
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t c = lpWideCharStr[i];
        const bool markFollows = i + 1 < length && IsCombiningMark(lpWideCharStr[i + 1]);
        if (composite && markFollows) {
            const int composed = ComposedByte(c, lpWideCharStr[i + 1]);
            if (composed >= 0) {
                out.Put(static_cast<char>(composed));
                ++i;
                continue;
            }
        }
        int byte = ExactByte(c);
        if (byte < 0 && bestFit) byte = BestFitByte(c);
        if (byte < 0) {
            // As on Windows, each code unit is a character here: the two halves of a surrogate
            // pair take a default character each.
            usedDefault = true;
            byte = static_cast<unsigned char>(defaultChar);
        }
        out.Put(static_cast<char>(byte));
        if (composite && markFollows && (dwFlags & (WC_DISCARDNS | WC_DEFAULTCHAR)) != 0) {
            // The mark that did not compose is dropped, or with its base becomes the default.
            if (dwFlags & WC_DEFAULTCHAR) usedDefault = true;
            ++i;
        }
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return out.Finish();
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    if (!IsAnsiCodePage(CodePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 ||
        cbMultiByte < -1 || cchWideChar < 0 || (lpWideCharStr == nullptr && cchWideChar != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((dwFlags & ~static_cast<DWORD>(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    OutputUnits<WCHAR> out(lpWideCharStr, cchWideChar);
    const std::size_t length = InputLength(lpMultiByteStr, cbMultiByte);
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(lpMultiByteStr[i]);
        out.Put(byte >= 0x80 && byte <= 0x9F ? kHighHalf[byte - 0x80] : byte);
    }
    return out.Finish();
}
