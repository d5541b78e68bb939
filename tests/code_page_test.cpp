// The ANSI code page conversions as the plug-in calls them: Windows-1252 on every build.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32_wide.h"

namespace {

// Windows-1252 at 0x80 to 0x9F, from the code page's definition; the five bytes it leaves
// undefined come back as the C1 control of the same value. Every other byte is the character of
// its own value.
const char16_t kExpectedHighHalf[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// Converts the whole terminated text as the plug-in does; answers the bytes without the
// terminator, and whether the default character was used.
std::string ToAnsi(const std::u16string& text, DWORD flags, BOOL* usedDefault = nullptr,
                   const char* defaultChar = nullptr) {
    char buffer[256] = {};
    const int n = WideCharToMultiByte(CP_ACP, flags, Win32Wide(text.c_str()), -1, buffer,
                                      sizeof buffer, defaultChar, usedDefault);
    EXPECT_GT(n, 0);
    return std::string(buffer);
}

std::u16string FromAnsi(const std::string& text) {
    char16_t buffer[256] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, Win32Wide(buffer), 256);
    EXPECT_GT(n, 0);
    return std::u16string(buffer);
}

}  // namespace

TEST(CodePage, EveryByteConvertsAsWindows1252BothWays) {
    for (int c = 1; c < 0x100; ++c) {
        SCOPED_TRACE(c);
        const std::string byte(1, static_cast<char>(c));
        const std::u16string wide(1, c >= 0x80 && c < 0xA0 ? kExpectedHighHalf[c - 0x80]
                                                           : static_cast<char16_t>(c));
        EXPECT_EQ(FromAnsi(byte), wide);
        BOOL usedDefault = TRUE;
        EXPECT_EQ(ToAnsi(wide, WC_NO_BEST_FIT_CHARS, &usedDefault), byte);
        EXPECT_FALSE(usedDefault);
    }
}

TEST(CodePage, MissingCharactersBecomeTheDefaultCharacterWithoutBestFit) {
    BOOL usedDefault = FALSE;
    // A-macron and omega are not in the code page; the euro sign is (0x80).
    EXPECT_EQ(ToAnsi(u"x\u0100\u20AC\u03C9", WC_NO_BEST_FIT_CHARS, &usedDefault), "x?\x80?");
    EXPECT_TRUE(usedDefault);

    EXPECT_EQ(ToAnsi(u"caf\u00E9", WC_NO_BEST_FIT_CHARS, &usedDefault), "caf\xE9");
    EXPECT_FALSE(usedDefault);

    // A C1 control the code page does not keep (0x80 is the euro sign).
    EXPECT_EQ(ToAnsi(u"\u0080", WC_NO_BEST_FIT_CHARS, &usedDefault), "?");
    EXPECT_TRUE(usedDefault);

    EXPECT_EQ(ToAnsi(u"\u03C9", WC_NO_BEST_FIT_CHARS, &usedDefault, "#"), "#");
    // Each half of a surrogate pair is a missing character.
    EXPECT_EQ(ToAnsi(u"a\U0001F600b", WC_NO_BEST_FIT_CHARS), "a??b");
}

TEST(CodePage, BestFitDropsTheAccentAndCompositeCheckJoinsIt) {
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToAnsi(u"\u0100\u0107", 0, &usedDefault), "Ac");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(ToAnsi(u"\uFF21", 0), "A");  // full-width A
    EXPECT_EQ(ToAnsi(u"Cafe\u0301", WC_COMPOSITECHECK), "Caf\xE9");
    EXPECT_EQ(ToAnsi(u"S\u030C", WC_COMPOSITECHECK), "\x8A");
    // Without the check the mark stays a character of its own, which the code page lacks.
    EXPECT_EQ(ToAnsi(u"e\u0301", WC_NO_BEST_FIT_CHARS), "e?");
}

TEST(CodePage, LengthMinusOneCountsTheTerminatorAlsoWhenOnlyTheSizeIsAsked) {
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, Win32Wide(u"abc"), -1, buffer, 8, nullptr, nullptr), 4);
    EXPECT_EQ(std::memcmp(buffer, "abc\0zzzz", 8), 0);

    // A given length converts just those characters and adds no terminator.
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, Win32Wide(u"abc"), 2, buffer, 8, nullptr, nullptr), 2);
    EXPECT_EQ(std::memcmp(buffer, "abzzzzzz", 8), 0);

    char16_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, Win32Wide(wide), 8), 4);
    EXPECT_EQ(std::u16string(wide), u"abc");
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Win32Wide(u"\u20ACuro"), -1,
                                  nullptr, 0, nullptr, nullptr),
              5);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x80uro", -1, nullptr, 0), 5);
}

TEST(CodePage, BufferTooSmallAnswersZeroWithInsufficientBuffer) {
    char narrow[4];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, Win32Wide(u"abcd"), -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // Exactly the size needed is enough.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, Win32Wide(u"abc"), -1, narrow, 4, nullptr, nullptr), 4);

    char16_t wide[3];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, Win32Wide(wide), 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePage, BadArgumentsAreRefused) {
    char narrow[4];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, Win32Wide(u"a"), 0, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
