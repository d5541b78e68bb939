// Finding the renderer's executable in the machine's registry keys, and starting it.
#include "link/renderer_launch.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fake_renderer_log.h"
#include "tests/scoped_registry.h"

namespace {

using namespace std::chrono_literals;

const char kMachine[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n";

std::string Key(const std::string& name)
{
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\" + name + "]\r\n";
}

std::string Value(const std::string& name, const std::string& text)
{
    return "\"" + name + "\"=\"" + ScopedRegistry::Escape(text) + "\"\r\n";
}

// An installation whose "VistrelVersion" names "Vistrel 4" with the given "CurrentVersion"
// (none when null), beside a key "Vistrel 5" of its own.
std::string TwoInstallations(const char* currentVersion)
{
    return kMachine + Value("VistrelVersion", "Vistrel 4") + Key("Vistrel 4") +
           (currentVersion == nullptr ? "" : Value("CurrentVersion", currentVersion)) +
           Value("BinName", "C:\\Vistrel 4\\vistrel.exe") + Key("Vistrel 5") +
           Value("BinName", "C:\\Vistrel 5\\vistrel.exe");
}

TEST(FindRendererExecutable, RecentEnoughInstallationGivesItsOwnExecutable)
{
    for (const char* current : {"5.1", "5", "12.0", " 5 beta", "99999999999"}) {
        ScopedRegistry registry(kMachine + Value("VistrelVersion", "Vistrel 5.1") +
                                Key("Vistrel 5.1") + Value("CurrentVersion", current) +
                                Value("BinName", "C:\\Program Files\\Vistrel\\vistrel.exe"));
        EXPECT_EQ(FindRendererExecutable(5), u"C:\\Program Files\\Vistrel\\vistrel.exe") << current;
    }
}

TEST(FindRendererExecutable, OlderInstallationGivesTheRequiredVersionsKey)
{
    for (const char* current : {"4.2", "4", "-7", "beta", "", "v5"}) {
        ScopedRegistry registry(TwoInstallations(current));
        EXPECT_EQ(FindRendererExecutable(5), u"C:\\Vistrel 5\\vistrel.exe") << current;
    }
    ScopedRegistry registry(TwoInstallations("4.2") + Key("Vistrel 12") +
                            Value("BinName", "C:\\Vistrel 12\\vistrel.exe"));
    EXPECT_EQ(FindRendererExecutable(12), u"C:\\Vistrel 12\\vistrel.exe");
    EXPECT_EQ(FindRendererExecutable(4), u"C:\\Vistrel 4\\vistrel.exe");
}

TEST(FindRendererExecutable, MissingKeysOrValuesGiveNothing)
{
    const std::string tooLong = "Vistrel " + std::string(24, 'x');  // 32 characters
    const std::string registries[] = {
        "",
        // An older installation without a key for the required version.
        kMachine + Value("VistrelVersion", "Vistrel 4") + Key("Vistrel 4") +
            Value("CurrentVersion", "4.2") + Value("BinName", "C:\\Vistrel 4\\vistrel.exe"),
        // The version key is only looked for where "VistrelVersion" points.
        Key("Vistrel 5") + Value("BinName", "C:\\vistrel.exe"),
        kMachine + Value("VistrelVersion", "Vistrel 7") + Key("Vistrel 5") +
            Value("BinName", "C:\\vistrel.exe"),
        kMachine + Value("VistrelVersion", "Vistrel 5") + Key("Vistrel 5") +
            Value("CurrentVersion", "5.0") + Value("BinFolder", "C:\\"),
        // The current user's keys are not the installation's.
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n" + Value("VistrelVersion", "Vistrel 5") +
            "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n" +
            Value("BinName", "C:\\vistrel.exe"),
        // "VistrelVersion" gets 64 bytes (31 characters and the zero), "BinName" 520 (259 and the
        // zero): longer values count as missing.
        kMachine + Value("VistrelVersion", tooLong) + Key(tooLong) +
            Value("BinName", "C:\\vistrel.exe"),
        kMachine + Value("VistrelVersion", "Vistrel 5") + Key("Vistrel 5") +
            Value("BinName", "C:\\" + std::string(257, 'b')),
    };
    for (const std::string& text : registries) {
        ScopedRegistry registry(text);
        EXPECT_EQ(FindRendererExecutable(5), u"") << text;
        EXPECT_FALSE(LaunchRenderer(5)) << text;
    }
}

TEST(FindRendererExecutable, ValuesThatJustFitTheirBuffersAreRead)
{
    const std::string version31 = "Vistrel " + std::string(23, 'x');
    const std::string bin259 = "C:\\" + std::string(256, 'b');
    {
        ScopedRegistry registry(kMachine + Value("VistrelVersion", version31) + Key(version31) +
                                Value("BinName", bin259));
        EXPECT_EQ(FindRendererExecutable(5), std::u16string(bin259.begin(), bin259.end()));
    }
    {
        // "CurrentVersion" gets 64 bytes too; longer, it counts as missing and the named key
        // stays, as it does without one.
        const char* const currents[] = {"4.0000000000000000000000000000000000000000", nullptr};
        for (const char* current : currents) {
            ScopedRegistry registry(TwoInstallations(current));
            EXPECT_EQ(FindRendererExecutable(5), u"C:\\Vistrel 4\\vistrel.exe");
        }
    }
}

TEST(LaunchRenderer, StartsTheExecutableTheRegistryNames)
{
    FakeRendererLog log;
    ScopedRegistry registry(kMachine + Value("VistrelVersion", "Vistrel 5") + Key("Vistrel 5") +
                            Value("CurrentVersion", "5.0") +
                            Value("BinName", FakeRendererLog::Executable().u8string()));
    EXPECT_TRUE(LaunchRenderer(5));
    EXPECT_EQ(log.Starts(1, 20s), 1);
    EXPECT_TRUE(LaunchRenderer(5));
    EXPECT_EQ(log.Starts(2, 20s), 2);
}

TEST(LaunchRenderer, NoExecutableStartsNothing)
{
    FakeRendererLog log;
    const std::string fake = FakeRendererLog::Executable().u8string();
    const std::string missing =
        (FakeRendererLog::Executable().parent_path() / "no_such_renderer").u8string();
    const std::string named = kMachine + Value("VistrelVersion", "Vistrel 5") + Key("Vistrel 5");
    // A missing executable, none named, and that of an installation too old.
    for (const std::string& text :
         {named + Value("BinName", missing), named + Value("BinName", ""),
          kMachine + Value("VistrelVersion", "Vistrel 4") + Key("Vistrel 4") +
              Value("CurrentVersion", "4.0") + Value("BinName", fake)}) {
        ScopedRegistry registry(text);
        EXPECT_FALSE(LaunchRenderer(5)) << text;
    }
    EXPECT_EQ(log.Starts(1, 300ms), 0);
}

}  // namespace
