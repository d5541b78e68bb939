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

class Registry : public testing::Test {
protected:
    Registry() : registry_(kRegistry) {}

    void SetUp() override
    {
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32Wide(u"SOFTWARE\\VistrelTest"), 0, kRead32,
                                &key_),
                  ERROR_SUCCESS);
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
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32Wide(u"SOFTWARE\\VistrelTest\\Nothing"), 0,
                            kRead32, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Win32Wide(u"SOFTWARE\\VistrelTest\\Dee"), 0,
                            KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, KeysAboveANamedKeyExistAndSubKeysOpenFromAnOpenKey)
{
    HKEY deep = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Win32Wide(u"software\\vistreltest\\DEEP"), 0,
                            KEY_READ, &deep),
              ERROR_SUCCESS);
    HKEY inner = nullptr;
    ASSERT_EQ(RegOpenKeyExW(deep, Win32Wide(u"Key"), 0, KEY_READ, &inner), ERROR_SUCCESS);
    WCHAR text[8] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegQueryValueExW(inner, Win32Wide(u"inner"), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(text[0], u'x');
    EXPECT_EQ(RegCloseKey(inner), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);
}

TEST_F(Registry, StringValueIsWideTextWithItsZero)
{
    WCHAR text[16];
    std::memset(text, 0x55, sizeof text);
    DWORD size = sizeof text;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key_, Win32Wide(u"Text"), nullptr, &type,
                               reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 8u);  // a, b, c and the zero
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"abc");
}

TEST_F(Registry, DwordValueIsFourBytes)
{
    DWORD port = 0;
    DWORD size = sizeof port;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key_, Win32Wide(u"Port"), nullptr, &type,
                               reinterpret_cast<BYTE*>(&port), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(port, 4000u);
}

TEST_F(Registry, BufferTooSmallIsMoreDataWithTheSizeNeeded)
{
    BYTE small[7];
    std::memset(small, 0x55, sizeof small);
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key_, Win32Wide(u"Text"), nullptr, nullptr, small, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);

    WORD half = 0;
    size = sizeof half;
    EXPECT_EQ(RegQueryValueExW(key_, Win32Wide(u"Port"), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&half), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
}

TEST_F(Registry, SizeAloneWithoutABuffer)
{
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key_, Win32Wide(u"Text"), nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(Registry, MissingValueIsFileNotFound)
{
    BYTE data[16];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key_, Win32Wide(u"Nothing"), nullptr, nullptr, data, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, TypeIsNotCheckedByTheReader)
{
    // A DWORD read where text is expected comes back as its four bytes; the caller decides.
    WCHAR text[8] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key_, Win32Wide(u"Port"), nullptr, &type,
                               reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(text[0], 0x0FA0);
    EXPECT_EQ(text[1], 0);
}

TEST_F(Registry, QueryNeedsQueryValueAccess)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32Wide(u"SOFTWARE\\VistrelTest"), 0,
                            KEY_ENUMERATE_SUB_KEYS, &key),
              ERROR_SUCCESS);
    DWORD port = 0;
    DWORD size = sizeof port;
    EXPECT_EQ(RegQueryValueExW(key, Win32Wide(u"Port"), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&port), &size),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST(RegistryEmpty, NoKeysAtAll)
{
    ScopedRegistry registry("");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32Wide(u"SOFTWARE\\VistrelTest"), 0, kRead32,
                            &key),
              ERROR_FILE_NOT_FOUND);
}

#ifndef _WIN32
// ---- The registry file of the POSIX build -------------------------------------------------------

namespace fs = std::filesystem;

bool UserKeyOpens(const char16_t* subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Win32Wide(subKey), 0, kRead32, &key) != ERROR_SUCCESS)
        return false;
    return RegCloseKey(key) == ERROR_SUCCESS;
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
