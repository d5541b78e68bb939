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
#include <optional>
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

    // The lister's answers, one per call: before the start, then at each poll; nullopt answers
    // no text.
    void SetTexts(const std::vector<std::optional<std::string>>& texts)
    {
        texts_ = texts;
        control_->textCount = static_cast<int>(texts_.size());
        for (std::size_t i = 0; i < texts_.size(); ++i)
            control_->texts[i] = texts_[i] ? texts_[i]->c_str() : nullptr;
    }

    void Accept(const std::vector<int>& ports)
    {
        for (int port : ports) control_->acceptingPorts[control_->acceptingCount++] = port;
    }

    LiveLink Connect(bool reuse)
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

    HMODULE module_ = nullptr;
    ScriptedLiveLinkControl* control_ = nullptr;
    LinkSleepFunction previousSleep_ = nullptr;
    std::unique_ptr<ScopedRegistry> registry_;
    std::vector<std::optional<std::string>> texts_;
    FakeRendererLog renderers_;
    SceneBuilder builder_;
    int lastPort_ = -1;
};

// ---- Update and Render, from the listing to the connection -------------------------------------

const std::string kPortRange = Dword("LiveLinkPort", 4000) + Dword("LiveLinkMaxPort", 4019);
enum Road { kRender, kUpdate };

// One attempt. What it meets, on a case's first two lines: whether the registry names a renderer
// to start, the user's port values, the lister's answers (none at all: no lister), the ports that
// accept, the port of the last link, the road. What it does, on the third: the link it made (to
// a renderer that ran before, or to one it started), its connects, the last port, the polls and
// the starts.
struct Case {
    const char* name;
    bool launchable;
    std::string portValues;
    std::vector<std::optional<std::string>> texts;
    std::vector<int> accepting;
    int lastPort;
    Road road;
    LiveLink link;
    std::vector<Call> connects;
    int lastPortAfter;
    int polls;   // seconds slept, one before each poll
    int starts;  // renderers started
};

const Case kCases[] = {
    {"UpdateReusesTheLastRendererWhileItIsListed", true, kPortRange,
     {Instances({4000, 4001, 4002})}, {4000, 4001, 4002}, 4001, kUpdate,
     LiveLink::RunningRenderer, {{4001, 1}}, 4001, 0, 0},
    {"UpdateTakesTheHighestListedPortWhenTheLastIsGone", true, "",
     {Instances({4002, 4000})}, {4000, 4002}, 4001, kUpdate,
     LiveLink::RunningRenderer, {{4002, 1}}, 4002, 0, 0},
    {"UpdateWithNothingListedTriesTheRegistryPortEvenWithoutAMaximum", true,
     Dword("LiveLinkPort", 4010), {Instances({})}, {4010}, -1, kUpdate,
     LiveLink::RunningRenderer, {{4010, 1}}, 4010, 0, 0},
    {"UpdateStartsARendererWhenTheRegistryPortGivesNoLink", true,
     Dword("LiveLinkPort", 4010),
     {Instances({}), Instances({}), Instances({4011})}, {4011}, -1, kUpdate,
     LiveLink::StartedRenderer, {{4010, 1}, {4011, 5}}, 4011, 2, 1},
    {"UpdateWithoutAListTextOrPortStartsARenderer", true, "",
     {std::nullopt, Instances({4011})}, {4011}, -1, kUpdate,
     LiveLink::StartedRenderer, {{4011, 5}}, 4011, 1, 1},
    {"UpdateEndsWhenTheListedRendererRefusesWithoutStartingOne", true, kPortRange,
     {Instances({4000, 4003})}, {4000}, 4001, kUpdate,  // 4000 accepts, but 4003 is picked
     LiveLink::None, {{4003, 1}}, 4001, 0, 0},
    {"UpdateWithoutARendererToStartEndsAfterTheRegistryPort", false,
     Dword("LiveLinkPort", 4000),
     {Instances({})}, {}, -1, kUpdate,
     LiveLink::None, {{4000, 1}}, -1, 0, 0},
    {"RenderConnectsToTheInstanceThatAppearsAfterTheStart", true, kPortRange,
     {Instances({4000, 4001}), Instances({4000, 4001}), Instances({4000, 4001}),
      Instances({4000, 4001, 4005})}, {4000, 4001, 4005}, 4000, kRender,
     LiveLink::StartedRenderer, {{4005, 5}}, 4005, 3, 1},
    {"RenderTakesTheLowestOfSeveralNewInstances", true, "",
     {Instances({4003}), Instances({4001, 4003, 4007, 4002})}, {4001, 4002}, -1, kRender,
     LiveLink::StartedRenderer, {{4001, 5}}, 4001, 1, 1},
    {"RenderDoesNotTryTheRegistryWhenTheNewInstanceRefuses", true, kPortRange,
     {Instances({}), Instances({4004})}, {4000}, -1, kRender,
     LiveLink::None, {{4004, 5}}, -1, 1, 1},
    {"RenderFallsBackToTheRegistryPortAfterTwentyPolls", true, kPortRange,
     {Instances({4001})}, {4000}, -1, kRender,  // the list never changes
     LiveLink::StartedRenderer, {{4000, 1}}, 4000, 20, 1},
    {"RenderFallbackTriesTheRegistryPortTwice", true, kPortRange,
     {Instances({})}, {}, -1, kRender,
     LiveLink::None, {{4000, 1}, {4000, 5}}, -1, 20, 1},
    {"RenderFallbackNeedsBothRegistryValues", true, Dword("LiveLinkPort", 4000),
     {Instances({})}, {4000}, -1, kRender,
     LiveLink::None, {}, -1, 20, 1},
    {"RenderTreatsANewPortOfZeroAsNoInstance", true, kPortRange,
     {Instances({}), Instances({0, 4009})}, {4000, 4009}, -1, kRender,
     LiveLink::StartedRenderer, {{4000, 1}}, 4000, 1, 1},
    {"RenderWaitsThroughPollsWithoutText", true, "",
     {Instances({4000}), std::nullopt, std::nullopt, Instances({4000, 4003})}, {4003}, -1, kRender,
     LiveLink::StartedRenderer, {{4003, 5}}, 4003, 3, 1},
    {"RenderWithoutAListerGoesToTheRegistryAtOnce", true, kPortRange,
     {}, {4000}, -1, kRender,
     LiveLink::StartedRenderer, {{4000, 1}}, 4000, 0, 1},
    {"RenderWithoutARendererToStartConnectsNowhere", false, kPortRange,
     {Instances({4000})}, {4000}, -1, kRender,
     LiveLink::None, {}, -1, 0, 0},
};

class LiveLinkConnectionCases : public LiveLinkConnection,
                                public testing::WithParamInterface<Case> {};

INSTANTIATE_TEST_SUITE_P(Attempts, LiveLinkConnectionCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST_P(LiveLinkConnectionCases, ConnectsAsTheListingAndTheRegistryAllow)
{
    const Case& c = GetParam();
    SetRegistry(c.launchable, c.portValues);
    SetTexts(c.texts);
    control_->withLister = !c.texts.empty();
    Accept(c.accepting);
    lastPort_ = c.lastPort;
    EXPECT_EQ(Connect(c.road == kUpdate), c.link);
    EXPECT_EQ(Connects(), c.connects);
    EXPECT_EQ(lastPort_, c.lastPortAfter);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>(static_cast<std::size_t>(c.polls), 1000));
    // The lister answers once before any start and once at each poll, and is closed at the end.
    EXPECT_EQ(control_->textCalls, c.texts.empty() ? 0 : 1 + c.polls);
    EXPECT_EQ(control_->closeCalls, c.texts.empty() ? 0 : 1);
    EXPECT_FALSE(control_->listerOpen);
    // Every link is made by the one object the builder keeps, after its id is set.
    EXPECT_NE(builder_.GetSceneApi(), nullptr);
    EXPECT_EQ(control_->scenesCreated, 1);
    EXPECT_EQ(control_->setIdCalls, 1);
    EXPECT_EQ(control_->lastId, 1u);
    EXPECT_EQ(renderers_.Starts(1, c.starts != 0 ? 20s : 300ms), c.starts);
}

// ---- No scene object --------------------------------------------------------------------------

// A failure on the way (memory ran out while the call waited for the renderer) still closes
// the lister.
TEST_F(LiveLinkConnection, FailureOnTheWayStillClosesTheLister)
{
    SetRegistry(true, kPortRange);
    SetTexts({Instances({})});
    SetLinkSleepFunction([](std::uint32_t) { throw std::bad_alloc(); });
    EXPECT_THROW(Connect(false), std::bad_alloc);
    EXPECT_FALSE(control_->listerOpen);
    EXPECT_EQ(control_->closeCalls, 1);
}

TEST_F(LiveLinkConnection, NoSceneObjectAnswersFalseAtOnce)
{
    SetRegistry(true, kPortRange);
    control_->withScene = false;
    builder_.api = reinterpret_cast<trvScene_api*>(&builder_);  // left from an earlier run
    EXPECT_EQ(Connect(false), LiveLink::None);
    EXPECT_EQ(builder_.GetSceneApi(), nullptr);
    EXPECT_EQ(control_->listerRequests, 0);
    EXPECT_EQ(control_->textCalls, 0);
    EXPECT_EQ(renderers_.Starts(1, 300ms), 0);
}

}  // namespace
