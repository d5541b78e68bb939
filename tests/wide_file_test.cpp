// Opening files by wide path, as the plug-in opens its scene and frame files.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/utf8.h"
#include "platform/win32_wide.h"
#include "tests/file_text.h"
#include "tests/open_handles.h"
#include "tests/scoped_temp_folder.h"

namespace {

void WriteText(const char16_t* path, const char16_t* mode, const char* text) {
    FILE* file = _wfopen(Win32Wide(path), Win32Wide(mode));
    ASSERT_NE(file, nullptr);
    std::fputs(text, file);
    std::fclose(file);
}

}  // namespace

TEST(WideFile, BackslashAndSlashBothSeparateFolders) {
    ScopedTempFolder folder;
    std::filesystem::create_directory("scenes");
    WriteText(u"scenes\\car.vsb", u"wb+", "one");
    EXPECT_EQ(ReadFile("scenes/car.vsb"), "one");
    WriteText(u"scenes/car.vsb", u"wb", "two");
    EXPECT_EQ(ReadFile("scenes/car.vsb"), "two");
}

TEST(WideFile, NamesOutsideAsciiKeepTheirCharacters) {
    ScopedTempFolder folder;
    WriteText(u"\u00DCbung \u20AC \U0001F600.fra", u"w", "x");
    EXPECT_EQ(ReadFile(std::filesystem::path(u"\u00DCbung \u20AC \U0001F600.fra")), "x");
}

TEST(WideFile, ModesKeepTheirWindowsMeaning) {
    ScopedTempFolder folder;
    WriteText(u"a.txt", u"w", "first");
    FILE* file = _wfopen(Win32Wide(u"a.txt"), Win32Wide(u"rt"));
    ASSERT_NE(file, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer - 1, file), 5u);
    std::fclose(file);
    EXPECT_STREQ(buffer, "first");

    WriteText(u"a.txt", u"a", "+more");
    EXPECT_EQ(ReadFile("a.txt"), "first+more");
}

TEST(WideFile, MissingFileOrFolderDoesNotOpen) {
    ScopedTempFolder folder;
    const std::size_t openFiles = OpenFileCount();
    EXPECT_EQ(_wfopen(Win32Wide(u"missing.fra"), Win32Wide(u"r")), nullptr);
    EXPECT_EQ(_wfopen(Win32Wide(u"no such folder\\x.vsb"), Win32Wide(u"wb+")), nullptr);

    std::filesystem::create_directory("folder");
    EXPECT_EQ(_wfopen(Win32Wide(u"folder"), Win32Wide(u"r")), nullptr);

    FILE* file = reinterpret_cast<FILE*>(&folder);  // must be overwritten with null
    EXPECT_NE(_wfopen_s(&file, Win32Wide(u"missing.fra"), Win32Wide(u"r")), 0);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(OpenFileCount(), openFiles);  // nothing stays open, not even the folder
}

// Paths are UTF-8 on disk in the POSIX build: each sequence length up to its last code point,
// and a malformed sequence (overlong, a surrogate, beyond U+10FFFF, cut short) as U+FFFD a byte.
TEST(WideFile, PathTextConvertsToUtf8AtTheEdgesOfEachSequenceLength) {
    const std::pair<std::u16string, std::string> both[] = {
        {u"\u007F", "\x7F"},          {u"\u0080", "\xC2\x80"},
        {u"\u07FF", "\xDF\xBF"},      {u"\u0800", "\xE0\xA0\x80"},
        {u"\uFFFF", "\xEF\xBF\xBF"}, {u"\U00010000", "\xF0\x90\x80\x80"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"}};
    for (const auto& [wide, utf8] : both) {
        EXPECT_EQ(Utf16ToUtf8(wide), utf8);
        EXPECT_EQ(Utf8ToUtf16(utf8), wide);
    }
    for (const std::string bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                                  "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        EXPECT_EQ(Utf8ToUtf16(bad), std::u16string(bad.size(), u'\uFFFD'));
}

TEST(WideFile, OpenSReportsSuccessWithTheFile) {
    ScopedTempFolder folder;
    WriteText(u"run.fra", u"w", "parts:");
    FILE* file = nullptr;
    ASSERT_EQ(_wfopen_s(&file, Win32Wide(u"run.fra"), Win32Wide(u"r")), 0);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

#ifndef _WIN32
// Windows keeps a lone surrogate in a file name; UTF-8 cannot, and no other name stands in.
TEST(WideFile, LoneSurrogateHasNoNameOnDisk) {
    ScopedTempFolder folder;
    const char16_t name[] = {u'a', 0xD800, u'b', 0};
    errno = 0;
    EXPECT_EQ(_wfopen(name, u"w"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}
#endif
