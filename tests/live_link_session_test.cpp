// The live link end to end on loopback: a stand-in renderer started through CreateProcessW,
// its live-link library loaded through the loader from the folder the registry names, and a
// scene written through the scene builder arriving at the renderer byte for byte as the scene
// file writer writes it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "link/live_link_loader.h"
#include "platform/win32.h"
#include "renderer/loopback_socket.h"
#include "renderer/session_protocol.h"
#include "scene/scene_api_file.h"
#include "scene/scene_builder.h"
#include "tests/file_text.h"
#include "tests/renderer_install.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The calls of a small live run: header lines, a camera with its environment, the model group
// with an object whose arrays are large enough to stream in several pieces.
void WriteScene(SceneBuilder& builder)
{
    trvScene_api* api = builder.GetSceneApi();
    api->WriteRaw("//---tarvex:dal:7---\n//---id:%d---\n", 1);
    builder.BeginCameraWithEnvironment("Default");
    builder.SetCameraPosition(0.0f, -10.0f, 2.5f);
    builder.SetCameraDirection(0.0f, 1.0f, 0.0f);
    builder.SetCameraUp(0.0f, 0.0f, 1.0f);
    builder.SetCameraFov(45.0f);
    builder.FinishCamera();
    builder.OpenGroup("assembly");
    api->SetFlags(0x8000);
    api->BeginObject("part", true);
    api->BeginGeometry("triangles");
    std::vector<float> points(3 * 200000);
    for (std::size_t i = 0; i < points.size(); ++i) points[i] = static_cast<float>(i) * 0.25f;
    const SceneArray pointArray{points.data(), static_cast<std::uint32_t>(points.size() / 3)};
    api->SetParameter("points", SceneValueType::Float3 | SceneValueType::Array, &pointArray);
    std::vector<int> indices(30000);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<int>(i % 600000);
    const SceneArray indexArray{indices.data(), static_cast<std::uint32_t>(indices.size())};
    api->SetParameter("triangles", SceneValueType::Int | SceneValueType::Array, &indexArray);
    api->EndGeometry();
    api->EndObject();
    builder.CloseGroup();
}

// What the scene file writer writes for WriteScene.
std::string ExpectedText(const fs::path& folder)
{
    const fs::path file = folder / "expected.vsb";
    SceneBuilder builder;
    builder.api = new trvScene_api_file(std::fopen(file.string().c_str(), "wb+"), true);
    WriteScene(builder);
    builder.api->DeletingDestructor(kDeleteFreesMemory);
    return ReadFile(file);
}

class LiveLinkSession : public testing::Test {
protected:
    LiveLinkSession() { renderer_.Register(); }

    ~LiveLinkSession() override { UnloadLiveLinkLibrary(); }

    // The instance list as the library's lister answers it now.
    static std::string InstancesText()
    {
        InstanceLister* lister = CreateInstanceLister();
        const char* text = lister != nullptr ? lister->GetInstancesText() : nullptr;
        return text != nullptr ? text : "";
    }

    // The port of the first listed renderer, waiting up to ten seconds for one; -1 without.
    static int WaitForListedPort()
    {
        const auto until = Clock::now() + std::chrono::seconds(10);
        do {
            const std::string text = InstancesText();
            const std::size_t at = text.find("<livelink_port>");
            if (at != std::string::npos) return std::atoi(text.c_str() + at + 15);
            Sleep(20);
        } while (Clock::now() < until);
        return -1;
    }

    // A scene object of the library for builder, its id set, connected to the renderer at port.
    static testing::AssertionResult Connect(SceneBuilder& builder, int port, int seconds)
    {
        builder.api = CreateLiveSceneApi();
        if (builder.api == nullptr) return testing::AssertionFailure() << "no scene object";
        builder.api->SetId(1);
        if (builder.api->Connect("127.0.0.1", port, seconds)) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "no connection to port " << port;
    }

    RendererInstall renderer_{"3000"};
};

TEST_F(LiveLinkSession, RendererStoresWhatTheFileWriterWrites)
{
    renderer_.StartRenderer();
    const int port = WaitForListedPort();
    ASSERT_GE(port, renderer_.FirstPort());
    ASSERT_LE(port, renderer_.FirstPort() + 19);

    SceneBuilder builder;
    ASSERT_TRUE(Connect(builder, port, 5));
    WriteScene(builder);
    builder.CloseSession();
    EXPECT_FALSE(renderer_.LibraryIsLoaded());

    const std::string expected = ExpectedText(renderer_.Root());
    const std::string received = ReadFile(renderer_.SessionFile(port, 1));
    ASSERT_GT(expected.size(), 2u * 1024 * 1024);  // large enough to stream in pieces
    ASSERT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);

    // A second session reaches the same renderer as its second file.
    ASSERT_TRUE(Connect(builder, port, 1));
    builder.OpenGroup("again");
    builder.CloseGroup();
    builder.CloseSession();
    EXPECT_EQ(ReadFile(renderer_.SessionFile(port, 2)), "\ngroup \"again\" {\n}\n");
}

TEST_F(LiveLinkSession, RendererTakesTheNextPortWhenTheFirstIsBusy)
{
    SocketLibrary sockets;
    LoopbackSocket busy = LoopbackSocket::Listen(renderer_.FirstPort());
    ASSERT_TRUE(busy.IsValid());
    renderer_.StartRenderer();
    EXPECT_EQ(WaitForListedPort(), renderer_.FirstPort() + 1);
}

TEST_F(LiveLinkSession, ConnectWhereNothingListensAnswersFalse)
{
    SocketLibrary sockets;
    int freePort = -1;
    {
        LoopbackSocket probe = LoopbackSocket::Listen(0);
        ASSERT_TRUE(probe.IsValid());
        freePort = probe.LocalPort();
    }
    trvScene_api* live = CreateLiveSceneApi();
    ASSERT_NE(live, nullptr);
    live->SetId(1);
    EXPECT_FALSE(live->Connect("127.0.0.1", freePort, 1));
    EXPECT_FALSE(live->Connect("127.0.0.1", 0, 1));
    EXPECT_FALSE(live->Connect("192.0.2.1", freePort, 1));  // never leaves this machine
    // Without a session nothing is written and nothing fails.
    EXPECT_FALSE(live->BeginGroup("g", true));
    EXPECT_EQ(live->CurrentShaderBuffer(), nullptr);
    live->WriteRaw("%s", "lost");
    EXPECT_FALSE(live->Disconnect());
}

TEST_F(LiveLinkSession, RendererDroppingTheSessionLeavesTheHostRunning)
{
    renderer_.SetVariable("VISTREL_RENDERER_MAX_SESSION_BYTES", "4096");
    renderer_.StartRenderer();
    const int port = WaitForListedPort();
    ASSERT_GT(port, 0);

    SceneBuilder builder;
    ASSERT_TRUE(Connect(builder, port, 5));
    // Far more than the renderer takes: it drops the connection, later writes are lost.
    for (int i = 0; i < 20; ++i) WriteScene(builder);
    EXPECT_FALSE(builder.api->Disconnect());
    UnloadLiveLinkLibrary();
    EXPECT_FALSE(fs::exists(renderer_.SessionFile(port, 1)));
    // The renderer itself goes on and takes the next session.
    ASSERT_TRUE(Connect(builder, port, 1));
    builder.OpenGroup("small");
    builder.CloseGroup();
    EXPECT_TRUE(builder.api->Disconnect());
    EXPECT_EQ(ReadFile(renderer_.SessionFile(port, 2)), "\ngroup \"small\" {\n}\n");
}

TEST_F(LiveLinkSession, RendererClosingRightAfterAcceptingLeavesTheHostRunning)
{
    // A renderer that accepts the session and closes at once, cleanly: every later write goes
    // to a closed connection, which on POSIX would raise SIGPIPE and end the host.
    SocketLibrary sockets;
    LoopbackSocket listener = LoopbackSocket::Listen(0);
    ASSERT_TRUE(listener.IsValid());
    std::thread renderer([&listener] {
        LoopbackSocket client = listener.Accept(10000);
        char c = 0;
        for (int i = 0; i < 128 && client.Receive(&c, 1, 10000) == 1 && c != '\n'; ++i) {
        }
        const char* accepted = session_protocol::kAccepted;
        client.SendAll(accepted, std::strlen(accepted), 10000);
    });
    trvScene_api* live = CreateLiveSceneApi();
    ASSERT_NE(live, nullptr);
    const bool connected = live->Connect("127.0.0.1", listener.LocalPort(), 5);
    renderer.join();
    ASSERT_TRUE(connected);
    SceneBuilder builder;
    builder.api = live;
    for (int i = 0; i < 5; ++i) WriteScene(builder);
    EXPECT_FALSE(live->Disconnect());
}

TEST_F(LiveLinkSession, IdleRendererEndsAndLeavesTheList)
{
    renderer_.SetVariable("VISTREL_RENDERER_IDLE_MS", "300");
    renderer_.StartRenderer();
    ASSERT_GT(WaitForListedPort(), 0);
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (InstancesText().find("<vistrel_instance>") != std::string::npos && Clock::now() < until) {
        Sleep(50);
    }
    EXPECT_EQ(InstancesText(), "<vistrel_instances>\n</vistrel_instances>\n");
}

}  // namespace
