// Files by wide path, as the plug-in opens, creates and replaces its scene and frame files.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

#include "platform/regular_file.h"
#include "platform/utf8.h"
#include "platform/win32_wide.h"
#include "tests/file_text.h"
#include "tests/open_handles.h"
#include "tests/scoped_temp_folder.h"
#ifndef _WIN32
#include "tests/socket_file.h"
#endif

namespace {

void WriteText(const char16_t* path, const char16_t* mode, const char* text) {
    FILE* file = _wfopen(Win32Wide(path), Win32Wide(mode));
    ASSERT_NE(file, nullptr);
    std::fputs(text, file);
    std::fclose(file);
}

}  // namespace

// Paths and modes keep their Windows meaning: "\" and "/" both separate folders, names outside
// ASCII keep their characters, "a" appends, "w" empties a file that is there, "rt" reads.
TEST(WideFile, PathsAndModesKeepTheirWindowsMeaning) {
    ScopedTempFolder folder;
    std::filesystem::create_directory("scenes");
    WriteText(u"scenes\\car.vsb", u"wb+", "one");
    WriteText(u"scenes/car.vsb", u"ab", "+2");
    EXPECT_EQ(ReadFile("scenes/car.vsb"), "one+2");
    const char16_t unicode[] = u"\u00DCbung \u20AC \U0001F600.fra";
    WriteText(u"scenes/car.vsb", u"wb", "3");
    WriteText(unicode, u"w", "x");
    EXPECT_EQ(ReadFile("scenes/car.vsb") + ReadFile(std::filesystem::path(unicode)), "3x");
    FILE* file = _wfopen(Win32Wide(unicode), Win32Wide(u"rt"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), 'x');
    std::fclose(file);
}

TEST(WideFile, MissingFileOrFolderDoesNotOpen) {
    ScopedTempFolder folder;
    const std::size_t openFiles = OpenFileCount();
    EXPECT_EQ(_wfopen(Win32Wide(u"missing.fra"), Win32Wide(u"r")), nullptr);
    EXPECT_EQ(_wfopen(Win32Wide(u"no such folder\\x.vsb"), Win32Wide(u"wb+")), nullptr);

    std::filesystem::create_directory("folder");
    EXPECT_EQ(_wfopen(Win32Wide(u"folder"), Win32Wide(u"r")), nullptr);
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

// Only a regular file opens; a folder, a FIFO and a socket answer null at once, without waiting
// for a writer or reading.
TEST(WideFile, OpenRegularFileOpensRegularFilesOnly) {
    ScopedTempFolder folder;
    WriteText(u"run.fra", u"w", "parts:");
    EXPECT_NE(OpenRegularFile(u"run.fra", u"rb"), nullptr);
    std::filesystem::create_directory("folder");
    std::vector<const char16_t*> others = {u"folder", u"missing.fra"};
#ifndef _WIN32
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    ASSERT_TRUE(MakeSocket("socket"));
    others.insert(others.end(), {u"fifo", u"socket"});
#endif
    for (const char16_t* path : others) EXPECT_EQ(OpenRegularFile(path, u"rb"), nullptr);
}

// An exclusive creation makes the file once, and then finds it there and leaves it alone.
TEST(WideFile, ExclusiveCreationFailsOnAFileThatExists) {
    ScopedTempFolder folder;
    const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
    const int fd = _wopen(Win32Wide(u"new.vsb"), flags, _S_IREAD | _S_IWRITE);
    ASSERT_GE(fd, 0);
    FILE* file = _fdopen(fd, "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("one\n", file);
    std::fclose(file);
    errno = 0;
    EXPECT_EQ(_wopen(Win32Wide(u"new.vsb"), flags, _S_IREAD | _S_IWRITE), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFile("new.vsb"), "one\n");  // binary: the line break stays one byte
}

// A move, and a replacement, put a file in another's place in one step, but replace neither a
// folder nor a read-only file; a replacement wants a file to replace. Full paths, as the
// replacement is given them.
TEST(WideFile, MoveAndReplacementReplaceAFileButNotAFolderOrAReadOnlyFile) {
    ScopedTempFolder folder;
    const auto full = [&folder](const char* name) { return (folder.Path() / name).u16string(); };
    std::filesystem::create_directory("folder");
    std::vector<std::u16string> kept = {full("folder")};
#ifndef _WIN32  // wine replaces a read-only file when it runs as root
    WriteText(u"kept.vsb", u"w", "kept");
    std::filesystem::permissions("kept.vsb", std::filesystem::perms::owner_read);
    kept.push_back(full("kept.vsb"));
#endif
    const std::u16string from = full("new.vsb");
    const auto move = [&from](const std::u16string& path) {
        return MoveFileExW(Win32Wide(from.c_str()), Win32Wide(path.c_str()),
                           MOVEFILE_REPLACE_EXISTING);
    };
    const auto replace = [&from](const std::u16string& path) {
        return ReplaceFileW(Win32Wide(path.c_str()), Win32Wide(from.c_str()), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    };
    for (const auto& putInPlace :
         {std::function<BOOL(const std::u16string&)>(move), {replace}}) {
        WriteText(u"new.vsb", u"w", "new");
        WriteText(u"old.vsb", u"w", "old");
        for (const std::u16string& path : kept) EXPECT_FALSE(putInPlace(path));
        EXPECT_TRUE(putInPlace(full("old.vsb")));
        EXPECT_EQ(ReadFile("old.vsb"), "new");
        EXPECT_FALSE(std::filesystem::exists("new.vsb"));
        EXPECT_TRUE(std::filesystem::is_empty("folder"));
#ifdef _WIN32
        kept.clear();  // wine's ReplaceFileW moves the file into a folder, where Windows' refuses
#endif
        kept.push_back(full("missing.vsb"));  // for the replacement alone
    }
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(replace(full("missing.vsb")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

#ifndef _WIN32
// A FIFO opens at once, without a writer, and its reads then wait for what the writer sends.
TEST(WideFile, AFifoOpensAtOnceAndItsReadsWait) {
    ScopedTempFolder folder;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    FILE* reader = _wfopen(u"fifo", u"rb");
    ASSERT_NE(reader, nullptr);
    const int writer = open("fifo", O_WRONLY);
    std::thread late([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(write(writer, "x", 1), 1);
        close(writer);
    });
    EXPECT_EQ(std::fgetc(reader), 'x');
    late.join();
    std::fclose(reader);
}

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
