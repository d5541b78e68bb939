#include "link/renderer_launch.h"

#include <climits>
#include <optional>
#include <string>

#include "link/registry_value.h"
#include "platform/win32.h"
#include "platform/win32_wide.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(STARTUPINFOW) == 68, "the start-up record of a 32-bit process");
#endif

namespace {

std::u16string Widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The leading decimal number of text as wcstol reads it in base 10: blanks skipped, an
// optional sign, the digits that follow; 0 without digits. A number beyond a 32-bit long
// gives the nearest limit, as on Windows.
long LeadingNumber(const std::u16string& text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
    const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
    long long value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10 + (text[at] - u'0');
        if (value > limit) value = limit;
    }
    return static_cast<long>(negative ? -value : value);
}

// The machine's key of the installed version: "SOFTWARE\Tarvex\<VistrelVersion>". False when
// the value is missing.
bool InstalledVersionKey(std::u16string& path)
{
    const RegistryKey tarvex(HKEY_LOCAL_MACHINE, kTarvexKey, kRegistryRead32);
    std::u16string version;
    if (!ReadRegistryText(tarvex, u"VistrelVersion", 64, version)) return false;
    path = kTarvexKey + (u'\\' + version);
    return true;
}

}  // namespace

std::u16string FindRendererExecutable(int requiredMajor)
{
    std::u16string path;
    if (!InstalledVersionKey(path)) return {};
    std::optional<RegistryKey> versionKey;
    versionKey.emplace(HKEY_LOCAL_MACHINE, path, kRegistryRead);
    if (!versionKey->IsOpen()) return {};

    // An installation older than required: the required version, installed beside it, keeps
    // its own key named after its major version.
    std::u16string current;
    if (ReadRegistryText(*versionKey, u"CurrentVersion", 64, current) &&
        LeadingNumber(current) < requiredMajor) {
        versionKey.reset();
        path = kTarvexKey + (u"\\Vistrel " + Widen(std::to_string(requiredMajor)));
        versionKey.emplace(HKEY_LOCAL_MACHINE, path, kRegistryRead);
        if (!versionKey->IsOpen()) return {};
    }

    std::u16string executable;
    if (!ReadRegistryText(*versionKey, u"BinName", 520, executable)) return {};
    return executable;
}

bool LaunchRenderer(int requiredMajor)
{
    const std::u16string executable = FindRendererExecutable(requiredMajor);
    if (executable.empty()) return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL created = CreateProcessW(Win32Wide(executable.c_str()), nullptr, nullptr, nullptr,
                                        FALSE, 0, nullptr, nullptr, &startup, &process);
    if (!created) return false;
    // The renderer runs on its own; the link only waits to see it listed.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
