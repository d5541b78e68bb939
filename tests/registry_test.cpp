// The registry functions as the plug-in calls them: the answers for a missing key, a missing
// value and a buffer too small, and string and DWORD values. The same cases run against the
// registry file of the POSIX build and against the real registry on Windows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "tests/file_text.h"
#include "tests/scoped_registry.h"

namespace {

constexpr REGSAM kRead32 = 0x20219;  // KEY_READ | KEY_WOW64_32KEY

const char kRegistry[] =
    "[HKEY_CURRENT_USER\\SOFTWARE\\VistrelTest]\r\n"
    "\"Text\"=\"abc\"\r\n"
    "\"Port\"=dword:00000fa0\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VistrelTest\\Deep\\Key]\r\n"
    "\"Inner\"=\"x\"\r\n";

LONG Open(HKEY root, const char16_t* subKey, REGSAM access, HKEY* key)
{
    return RegOpenKeyExW(root, Win32Wide(subKey), 0, access, key);
}

// RegQueryValueExW of name into data of size bytes (null: the size alone): the answer, the size
// it gives back and the value's type.
using Answer = std::tuple<LONG, DWORD, DWORD>;

Answer Query(HKEY key, const char16_t* name, void* data, DWORD size)
{
    DWORD type = 0;
    const LONG answer = RegQueryValueExW(key, Win32Wide(name), nullptr, &type,
                                         static_cast<BYTE*>(data), &size);
    return {answer, size, type};
}

class Registry : public testing::Test {
protected:
    Registry() : registry_(kRegistry) {}

    void SetUp() override
    {
        ASSERT_EQ(Open(HKEY_CURRENT_USER, u"SOFTWARE\\VistrelTest", kRead32, &key_), ERROR_SUCCESS);
    }

    void TearDown() override
    {
        if (key_ != nullptr) {
            EXPECT_EQ(RegCloseKey(key_), ERROR_SUCCESS);
        }
    }

    ScopedRegistry registry_;
    HKEY key_ = nullptr;
};

TEST_F(Registry, MissingKeyIsFileNotFound)
{
    HKEY key = nullptr;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"SOFTWARE\\VistrelTest\\Nothing", kRead32, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\VistrelTest\\Dee", KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, KeysAboveANamedKeyExistAndSubKeysOpenFromAnOpenKey)
{
    HKEY deep = nullptr;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"software\\vistreltest\\DEEP", KEY_READ, &deep),
              ERROR_SUCCESS);
    HKEY inner = nullptr;
    ASSERT_EQ(Open(deep, u"Key", KEY_READ, &inner), ERROR_SUCCESS);
    WCHAR text[8] = {};
    EXPECT_EQ(Query(inner, u"inner", text, sizeof text), (Answer{ERROR_SUCCESS, 4, REG_SZ}));
    EXPECT_EQ(text[0], u'x');
    EXPECT_EQ(RegCloseKey(inner), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);
}

TEST_F(Registry, ValuesComeAsTheirBytesWithTheirTypeAndSize)
{
    WCHAR text[16];
    std::memset(text, 0x55, sizeof text);
    EXPECT_EQ(Query(key_, u"Text", text, sizeof text), (Answer{ERROR_SUCCESS, 8, REG_SZ}));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"abc");  // and the zero
    DWORD port = 0;
    EXPECT_EQ(Query(key_, u"Port", &port, sizeof port), (Answer{ERROR_SUCCESS, 4, REG_DWORD}));
    EXPECT_EQ(port, 4000u);
    EXPECT_EQ(Query(key_, u"Text", nullptr, 0), (Answer{ERROR_SUCCESS, 8, REG_SZ}));
    // The type is not checked: a DWORD read where text is expected comes as its four bytes.
    WCHAR portAsText[8] = {};
    EXPECT_EQ(Query(key_, u"Port", portAsText, sizeof portAsText),
              (Answer{ERROR_SUCCESS, 4, REG_DWORD}));
    EXPECT_EQ(portAsText[0], 0x0FA0);
    EXPECT_EQ(portAsText[1], 0);
}

TEST_F(Registry, BufferTooSmallIsMoreDataWithTheSizeNeededAndAMissingValueNotFound)
{
    BYTE small[7];
    EXPECT_EQ(Query(key_, u"Text", small, sizeof small), (Answer{ERROR_MORE_DATA, 8, REG_SZ}));
    EXPECT_EQ(Query(key_, u"Port", small, 2), (Answer{ERROR_MORE_DATA, 4, REG_DWORD}));
    EXPECT_EQ(std::get<0>(Query(key_, u"Nothing", small, sizeof small)), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, QueryNeedsQueryValueAccess)
{
    HKEY key = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"SOFTWARE\\VistrelTest", KEY_ENUMERATE_SUB_KEYS, &key),
              ERROR_SUCCESS);
    DWORD port = 0;
    EXPECT_EQ(std::get<0>(Query(key, u"Port", &port, sizeof port)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST(RegistryEmpty, NoKeysAtAll)
{
    ScopedRegistry registry("");
    HKEY key = nullptr;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"SOFTWARE\\VistrelTest", kRead32, &key),
              ERROR_FILE_NOT_FOUND);
}

#ifndef _WIN32
// ---- The registry file of the POSIX build -------------------------------------------------------

namespace fs = std::filesystem;

bool UserKeyOpens(const char16_t* subKey)
{
    HKEY key = nullptr;
    return Open(HKEY_CURRENT_USER, subKey, kRead32, &key) == ERROR_SUCCESS &&
           RegCloseKey(key) == ERROR_SUCCESS;
}

// The file is parsed again whenever it may have changed. A write that leaves the file's stamp
// as it was, as two writes within one tick of the file system's clock do (here: a write through
// a shared mapping after its first, which moves no time of the file), is read while the stamp
// is younger than the clock's tick. Once the clock has moved on, the stamp stands for what was
// read, and a rewrite of the same size with its modification time set back is told by the time
// the file's inode changed.
TEST(RegistryPosixFile, FileIsReadAgainWhenItMayHaveChanged)
{
    ScopedRegistry registry("[HKEY_CURRENT_USER\\SOFTWARE\\VistrelTest]\r\n");
    const std::string file = std::getenv("VISTREL_REGISTRY_FILE");
    const size_t size = fs::file_size(file);
    const size_t letter = ReadFile(file).find("Test]") + 3;
    const int descriptor = open(file.c_str(), O_RDWR);
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    char* bytes = static_cast<char*>(mapped);
    bytes[letter] = 'u';
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesu"));
    bytes[letter] = 'v';
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesv"));
    munmap(mapped, size);
    close(descriptor);

    struct stat status = {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    while (time(nullptr) < status.st_ctim.tv_sec + 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesv"));
    const fs::file_time_type modified = fs::last_write_time(file);
    std::string text = ReadFile(file);
    text[letter] = 'w';
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(file, modified);
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesw"));
}
#endif

}  // namespace
