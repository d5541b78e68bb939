#include "tests/scoped_registry.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/open_handles.h"
#include "tests/scoped_environment.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";

std::filesystem::path UniqueFileName()
{
    std::random_device random;
    return std::filesystem::temp_directory_path() /
           ("vistrel_registry_" + std::to_string(random()) + ".reg");
}

#ifdef _WIN32
void DeleteTestKeys()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteTreeW(root, L"SOFTWARE\\Tarvex");
        RegDeleteTreeW(root, L"SOFTWARE\\VistrelTest");
    }
}

// "reg import" of the file: the registry editor's own reading of the text.
void ImportRegistryFile(const std::filesystem::path& file)
{
    std::wstring command = L"reg.exe import \"" + file.wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error("reg.exe did not start");
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0 || exitCode != 0) throw std::runtime_error("reg import failed");
}

// The registry editor's own files are UTF-16LE with a byte order mark.
void WriteUtf16File(const std::filesystem::path& file, const std::string& utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    std::ofstream out(file, std::ios::binary);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(wide.data()),
              static_cast<std::streamsize>(wide.size() * sizeof(wchar_t)));
    if (!out) throw std::runtime_error("cannot write the registry file");
}
#endif

}  // namespace

ScopedRegistry::ScopedRegistry(const std::string& text) : file_(UniqueFileName())
{
#ifdef _WIN32
    DeleteTestKeys();
    WriteUtf16File(file_, kHeader + text);
    ImportRegistryFile(file_);
#else
    std::ofstream out(file_, std::ios::binary);
    out << kHeader << text;
    out.close();
    if (!out) throw std::runtime_error("cannot write the registry file");
    variable_ = std::make_unique<ScopedEnvironment>("VISTREL_REGISTRY_FILE", file_.string());
#endif
    openAtStart_ = OpenKeyAndProcessCount();
}

ScopedRegistry::~ScopedRegistry()
{
    EXPECT_EQ(OpenKeyAndProcessCount(), openAtStart_) << "keys or process handles left open";
#ifdef _WIN32
    DeleteTestKeys();
#endif
    variable_.reset();
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

std::string ScopedRegistry::Escape(const std::string& path)
{
    std::string escaped;
    for (char c : path) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}
