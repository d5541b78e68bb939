// How a live scene object gets connected: reusing a listed renderer, the registry's port,
// starting a renderer and waiting for it, on a fake clock. The live-link library is the
// scripted one of scripted_live_link.h, loaded from the folder the registry names; the
// renderer started is the fake one that only notes its start.
#include "link/live_link_connection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "link/link_sleep.h"
#include "link/live_link_loader.h"
#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "scene/scene_builder.h"
#include "tests/fake_renderer_log.h"
#include "tests/scoped_registry.h"
#include "tests/scripted_live_link.h"
#include "tests/test_paths.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<std::uint32_t> sleeps;
void FakeSleep(std::uint32_t milliseconds) { sleeps.push_back(milliseconds); }

fs::path ScriptedLibraryFolder() { return ExecutableFolder() / "scripted_live_link"; }

std::string Instances(std::initializer_list<int> ports)
{
    std::string text = "<vistrel_instances>\n";
    for (int port : ports) {
        text += "<vistrel_instance><version_major>5</version_major><livelink_port>" +
                std::to_string(port) + "</livelink_port></vistrel_instance>\n";
    }
    return text + "</vistrel_instances>\n";
}

std::string Dword(const char* name, int value)
{
    char line[64];
    std::snprintf(line, sizeof line, "\"%s\"=dword:%08x\r\n", name, static_cast<unsigned>(value));
    return line;
}

struct Call {
    int port;
    int n;
    bool operator==(const Call& other) const { return port == other.port && n == other.n; }
};

std::ostream& operator<<(std::ostream& out, const Call& call)
{
    return out << "(" << call.port << ", " << call.n << ")";
}

class LiveLinkConnection : public testing::Test {
protected:
    LiveLinkConnection()
    {
        const fs::path library = ScriptedLibraryFolder() / "trvvistrellive32.so";
        module_ = LoadLibraryW(Win32Wide(library.u16string().c_str()));
        if (module_ == nullptr) throw std::runtime_error("the scripted library does not load");
        const FARPROC entry = GetProcAddress(module_, SCRIPTED_LIVE_LINK_CONTROL);
        control_ = reinterpret_cast<ScriptedLiveLinkControlFunction>(
            reinterpret_cast<void (*)()>(entry))();
        *control_ = ScriptedLiveLinkControl{};
        control_->withScene = true;
        control_->withLister = true;
        sleeps.clear();
        previousSleep_ = SetLinkSleepFunction(FakeSleep);
    }

    ~LiveLinkConnection() override
    {
        SetLinkSleepFunction(previousSleep_);
        UnloadLiveLinkLibrary();
        FreeLibrary(module_);
    }

    // The registry: the scripted library's folder, an installation whose executable is the
    // fake renderer (none when launchable is false), and the user's port values given.
    void SetRegistry(bool launchable, const std::string& portValues)
    {
        const std::string folder = ScopedRegistry::Escape(ScriptedLibraryFolder().u8string());
        const std::string binary = ScopedRegistry::Escape(FakeRendererLog::Executable().u8string());
        registry_ = std::make_unique<ScopedRegistry>(
            "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n"
            "\"VistrelActivePath\"=\"" + folder + "\"\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n" + portValues +
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n"
            "\"VistrelVersion\"=\"Vistrel 5\"\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n"
            "\"CurrentVersion\"=\"5.0\"\r\n" +
            (launchable ? "\"BinName\"=\"" + binary + "\"\r\n" : std::string()));
    }

    // The lister's answers, one per call: before the start, then at each poll.
    void SetTexts(const std::vector<std::string>& texts)
    {
        texts_ = texts;
        control_->textCount = static_cast<int>(texts_.size());
        for (std::size_t i = 0; i < texts_.size(); ++i) control_->texts[i] = texts_[i].c_str();
    }

    void Accept(std::initializer_list<int> ports)
    {
        for (int port : ports) control_->acceptingPorts[control_->acceptingCount++] = port;
    }

    bool Connect(bool reuse)
    {
        return ConnectLiveLink(reuse, 5, &lastPort_, &builder_, 1);
    }

    std::vector<Call> Connects() const
    {
        std::vector<Call> calls;
        for (int i = 0; i < control_->connectCount; ++i) {
            EXPECT_TRUE(control_->connects[i].loopback);
            EXPECT_TRUE(control_->connects[i].afterSetId);
            calls.push_back({control_->connects[i].port, control_->connects[i].n});
        }
        return calls;
    }

    std::vector<std::uint32_t> Seconds(int count) const
    {
        return std::vector<std::uint32_t>(static_cast<std::size_t>(count), 1000);
    }

    HMODULE module_ = nullptr;
    ScriptedLiveLinkControl* control_ = nullptr;
    LinkSleepFunction previousSleep_ = nullptr;
    std::unique_ptr<ScopedRegistry> registry_;
    std::vector<std::string> texts_;
    FakeRendererLog renderers_;
    SceneBuilder builder_;
    int lastPort_ = -1;
};

// ---- Update: reusing a listed renderer --------------------------------------------------------

TEST_F(LiveLinkConnection, UpdateReusesTheLastRendererWhileItIsListed)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({4000, 4001, 4002})});
    Accept({4000, 4001, 4002});
    lastPort_ = 4001;
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4001, 1}}));
    EXPECT_EQ(lastPort_, 4001);
    EXPECT_NE(builder_.GetSceneApi(), nullptr);
    EXPECT_EQ(control_->lastId, 1u);
    EXPECT_EQ(control_->setIdCalls, 1);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(LiveLinkConnection, UpdateTakesTheHighestListedPortWhenTheLastIsGone)
{
    SetRegistry(true, "");
    SetTexts({Instances({4002, 4000})});
    Accept({4000, 4002});
    lastPort_ = 4001;
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4002, 1}}));
    EXPECT_EQ(lastPort_, 4002);
}

TEST_F(LiveLinkConnection, UpdateEndsWhenTheListedRendererRefuses)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({4000, 4003})});
    Accept({4000});  // not the one picked
    lastPort_ = 4001;
    EXPECT_FALSE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4003, 1}}));
    EXPECT_EQ(lastPort_, 4001);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(renderers_.Starts(1, 300ms), 0);
    // The object stays with the builder, and the library stays loaded: the next attempt gets
    // its object from the same factory.
    EXPECT_NE(builder_.GetSceneApi(), nullptr);
    Accept({4003});
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(control_->scenesCreated, 2);
    EXPECT_EQ(lastPort_, 4003);
}

// ---- Update: nothing listed --------------------------------------------------------------------

TEST_F(LiveLinkConnection, UpdateWithNothingListedTriesTheRegistryPortEvenWithoutAMaximum)
{
    SetRegistry(true, Dword("LiveLinkPort", 4010));
    SetTexts({Instances({})});
    Accept({4010});
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4010, 1}}));
    EXPECT_EQ(lastPort_, 4010);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(LiveLinkConnection, UpdateStartsARendererWhenTheRegistryPortGivesNoLink)
{
    SetRegistry(true, Dword("LiveLinkPort", 4010));
    SetTexts({Instances({}), Instances({}), Instances({4011})});
    Accept({4011});
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4010, 1}, {4011, 5}}));
    EXPECT_EQ(lastPort_, 4011);
    EXPECT_EQ(sleeps, Seconds(2));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, UpdateWithoutAListTextOrPortStartsARenderer)
{
    SetRegistry(true, "");
    SetTexts({"", Instances({4011})});
    control_->texts[0] = nullptr;  // no text before the start
    Accept({4011});
    EXPECT_TRUE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4011, 5}}));
    EXPECT_EQ(sleeps, Seconds(1));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

// ---- Render: starting a renderer ---------------------------------------------------------------

TEST_F(LiveLinkConnection, RenderConnectsToTheInstanceThatAppearsAfterTheStart)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    const std::string before = Instances({4000, 4001});
    SetTexts({before, before, before, Instances({4000, 4001, 4005})});
    Accept({4000, 4001, 4005});
    lastPort_ = 4000;
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4005, 5}}));
    EXPECT_EQ(lastPort_, 4005);
    EXPECT_EQ(sleeps, Seconds(3));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
    // The lister was opened by its listings and is closed at the end.
    EXPECT_EQ(control_->closeCalls, 1);
    EXPECT_FALSE(control_->listerOpen);
}

TEST_F(LiveLinkConnection, RenderTakesTheLowestOfSeveralNewInstances)
{
    SetRegistry(true, "");
    SetTexts({Instances({4003}), Instances({4001, 4003, 4007, 4002})});
    Accept({4001, 4002});
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4001, 5}}));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderDoesNotTryTheRegistryWhenTheNewInstanceRefuses)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({}), Instances({4004})});
    Accept({4000});
    EXPECT_FALSE(Connect(false));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4004, 5}}));
    EXPECT_EQ(lastPort_, -1);
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderFallsBackToTheRegistryPortAfterTwentyPolls)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({4001})});  // the list never changes
    Accept({4000});
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(sleeps, Seconds(20));
    EXPECT_EQ(control_->textCalls, 21);
    EXPECT_EQ(Connects(), (std::vector<Call>{{4000, 1}}));
    EXPECT_EQ(lastPort_, 4000);
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderFallbackTriesTheRegistryPortTwice)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({})});
    EXPECT_FALSE(Connect(false));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4000, 1}, {4000, 5}}));
    EXPECT_EQ(lastPort_, -1);
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderFallbackNeedsBothRegistryValues)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000));
    SetTexts({Instances({})});
    Accept({4000});
    EXPECT_FALSE(Connect(false));
    EXPECT_TRUE(Connects().empty());
    EXPECT_EQ(sleeps, Seconds(20));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderTreatsANewPortOfZeroAsNoInstance)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({}), Instances({0, 4009})});
    Accept({4000, 4009});
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(sleeps, Seconds(1));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4000, 1}}));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderWaitsThroughPollsWithoutText)
{
    SetRegistry(true, "");
    SetTexts({Instances({4000}), Instances({4000, 4002}), "", Instances({4000, 4003})});
    control_->texts[1] = nullptr;  // the first two polls answer nothing
    control_->texts[2] = nullptr;
    Accept({4003});
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(sleeps, Seconds(3));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4003, 5}}));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderWithoutAListerGoesToTheRegistryAtOnce)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    control_->withLister = false;
    Accept({4000});
    EXPECT_TRUE(Connect(false));
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(Connects(), (std::vector<Call>{{4000, 1}}));
    EXPECT_EQ(renderers_.Starts(1, 20s), 1);
}

TEST_F(LiveLinkConnection, RenderWithoutARendererToStartConnectsNowhere)
{
    SetRegistry(false, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({4000})});
    Accept({4000});
    EXPECT_FALSE(Connect(false));
    EXPECT_TRUE(Connects().empty());
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(control_->closeCalls, 1);
}

TEST_F(LiveLinkConnection, UpdateWithoutARendererToStartEndsAfterTheRegistryPort)
{
    SetRegistry(false, Dword("LiveLinkPort", 4000));
    SetTexts({Instances({})});
    EXPECT_FALSE(Connect(true));
    EXPECT_EQ(Connects(), (std::vector<Call>{{4000, 1}}));
    EXPECT_TRUE(sleeps.empty());
}

// ---- No scene object --------------------------------------------------------------------------

// A failure on the way (memory ran out while the call waited for the renderer) still closes
// the lister.
TEST_F(LiveLinkConnection, FailureOnTheWayStillClosesTheLister)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    SetTexts({Instances({})});
    SetLinkSleepFunction([](std::uint32_t) { throw std::bad_alloc(); });
    EXPECT_THROW(Connect(false), std::bad_alloc);
    EXPECT_FALSE(control_->listerOpen);
    EXPECT_EQ(control_->closeCalls, 1);
}

TEST_F(LiveLinkConnection, NoSceneObjectAnswersFalseAtOnce)
{
    SetRegistry(true, Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019));
    control_->withScene = false;
    builder_.api = reinterpret_cast<trvScene_api*>(&builder_);  // left from an earlier run
    EXPECT_FALSE(Connect(false));
    EXPECT_EQ(builder_.GetSceneApi(), nullptr);
    EXPECT_EQ(control_->listerRequests, 0);
    EXPECT_EQ(control_->textCalls, 0);
    EXPECT_EQ(renderers_.Starts(1, 300ms), 0);
}

}  // namespace
