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
#include <tuple>

#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "tests/scoped_environment.h"
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

TEST(RegistryPosixFile, FolderInPlaceOfTheFileReadsAsMissing)
{
    ScopedEnvironment variable("VISTREL_REGISTRY_FILE", fs::temp_directory_path().string());
    EXPECT_FALSE(UserKeyOpens(u"SOFTWARE"));
}

TEST(RegistryPosixFile, FileIsReadAgainWhenItChanges)
{
    ScopedRegistry registry("[HKEY_CURRENT_USER\\SOFTWARE\\VistrelTest]\r\n");
    const fs::path file = std::getenv("VISTREL_REGISTRY_FILE");
    const fs::file_time_type written = fs::last_write_time(file);
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTest"));
    const auto rewrite = [&](const std::string& key, fs::file_time_type time) {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" << key << "]\r\n";
        fs::last_write_time(file, time);
    };
    // Rewritten at once, keeping its size and with its time set back: the file system's clock
    // may not have moved since the file was read, and the time it was given says nothing.
    rewrite("SOFTWARE\\VistrelTesu", written);
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesu"));
    // Another time within the same second, or another size, is a change.
    rewrite("SOFTWARE\\VistrelTesv", written + std::chrono::milliseconds(1));
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTesv"));
    rewrite("SOFTWARE\\VistrelTests", written);
    EXPECT_TRUE(UserKeyOpens(u"SOFTWARE\\VistrelTests"));
}
#endif

}  // namespace
