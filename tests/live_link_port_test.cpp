// The live-link port range in the current user's key of the installed version.
#include "link/live_link_port.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/scoped_registry.h"

namespace {

std::string UserKey(const std::string& version)
{
    return "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\" + version + "]\r\n";
}

std::string Installed(const std::string& version)
{
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n\"VistrelVersion\"=\"" + version + "\"\r\n";
}

const char kPort[] = "\"LiveLinkPort\"=dword:00000fa0\r\n";        // 4000
const char kMaxPort[] = "\"LiveLinkMaxPort\"=dword:00000fb3\r\n";  // 4019

struct Range {
    int answer;
    int port;
    int maxPort;
};

Range Read()
{
    Range range{0, -1, -1};
    range.answer = ReadLiveLinkPortRange(&range.port, &range.maxPort);
    return range;
}

TEST(LiveLinkPortRange, AnswersWhatWasRead)
{
    const std::string installed = Installed("Vistrel 5") + UserKey("Vistrel 5");
    const struct {
        std::string registry;
        Range expected;
    } cases[] = {
        {installed + kPort + kMaxPort, {0, 4000, 4019}},
        {installed + kPort, {-1, 4000, -1}},
        // A maximum alone is not read: the port comes first.
        {installed + kMaxPort, {-2, -1, -1}},
        {Installed("Vistrel 5") + UserKey("Vistrel 4") + kPort + kMaxPort, {-3, -1, -1}},
        {installed + "\"LiveLinkPort\"=dword:ffffffff\r\n\"LiveLinkMaxPort\"=dword:00000000\r\n",
         {0, -1, 0}},
    };
    for (const auto& c : cases) {
        ScopedRegistry registry(c.registry);
        const Range range = Read();
        EXPECT_EQ(range.answer, c.expected.answer) << c.registry;
        EXPECT_EQ(range.port, c.expected.port) << c.registry;
        EXPECT_EQ(range.maxPort, c.expected.maxPort) << c.registry;
    }
}

TEST(LiveLinkPortRange, WithoutAnInstalledVersionTheUserKeyIsVistrel4)
{
    {
        ScopedRegistry registry(UserKey("Vistrel 4") + kPort + kMaxPort + UserKey("Vistrel 5") +
                                "\"LiveLinkPort\"=dword:00000001\r\n");
        const Range range = Read();
        EXPECT_EQ(range.answer, 0);
        EXPECT_EQ(range.port, 4000);
    }
    {
        ScopedRegistry registry("");
        EXPECT_EQ(Read().answer, -3);
    }
}

TEST(LiveLinkPortRange, TheWholeInstalledVersionNamesTheUserKey)
{
    // Read into 256 bytes here: a name too long for the executable's look-up still serves.
    {
        const std::string longVersion = "Vistrel " + std::string(100, 'v');
        ScopedRegistry registry(Installed(longVersion) + UserKey(longVersion) + kPort);
        const Range range = Read();
        EXPECT_EQ(range.answer, -1);
        EXPECT_EQ(range.port, 4000);
    }
    {
        // Longer than 127 characters, the name counts as missing.
        const std::string tooLong = "Vistrel " + std::string(120, 'v');
        ScopedRegistry registry(Installed(tooLong) + UserKey(tooLong) + kPort +
                                UserKey("Vistrel 4") + "\"LiveLinkPort\"=dword:00000fa9\r\n");
        EXPECT_EQ(Read().port, 4009);
    }
}

}  // namespace
