// The live roads end to end: the simulated host runs the real plug-in library, which finds the
// stand-in renderer and its live-link library through a registry file, starts the renderer and
// streams the model to it on loopback; the renderer stores each session as a file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "simhost/simulated_host.h"
#include "tests/expected_scene_heads.h"
#include "tests/file_text.h"
#include "tests/scoped_environment.h"
#include "tests/scoped_registry.h"
#include "tests/test_paths.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

#ifdef _WIN32
const char kRendererFile[] = "vistrel_renderer.exe";
#else
const char kRendererFile[] = "vistrel_renderer";
#endif
const char kLibraryFile[] = "trvvistrellive32.so";

// The scene heads of the sample assembly (millimetres, so 1000 units a metre) with the settings'
// defaults (NURBS on, up axis 1), up to the model group's line. A live run's model group carries
// the flags 0x8000.
const std::string kModelGroup = "\ngroup \"ROBOT_CELL\" {\n";
const std::string kLiveModelGroup = kModelGroup + "  flags 32768\n";
const std::string kExportHead = ExpectedExportHead("7", "1", "1000") + kModelGroup;
const std::string kRenderHead = ExpectedRenderHead("7", "1", "1000") + kLiveModelGroup;
const std::string kUpdateHead = ExpectedUpdateHead("1", "1000") + kLiveModelGroup;

bool BeginsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

// The text after head, or a note that the text does not begin with it.
std::string AfterHead(const std::string& text, const std::string& head)
{
    if (!BeginsWith(text, head)) return "<head differs>\n" + text.substr(0, 2000);
    return text.substr(head.size());
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

bool LibraryIsLoaded(const fs::path& library)
{
#ifdef _WIN32
    (void)library;
    return GetModuleHandleW(L"trvvistrellive32.so") != nullptr;
#else
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
#endif
}

class LiveRoads : public testing::Test {
protected:
    LiveRoads()
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("vistrel_roads_" + std::to_string(random()));
        install_ = root_ / "Vistrel 5";
        output_ = root_ / "sessions";
        work_ = root_ / "work";
        for (const fs::path& folder : {install_, output_, work_}) fs::create_directories(folder);
        const fs::path built = ExecutableFolder().parent_path() / "renderer";
        for (const char* file : {kRendererFile, kLibraryFile}) {
            fs::copy_file(built / file, install_ / file);
        }
        firstPort_ = std::uniform_int_distribution<int>(20000, 59000)(random);
        SetVariable("VISTREL_RENDERER_INSTANCES", (root_ / "instances").u8string());
        SetVariable("VISTREL_RENDERER_OUTPUT", output_.u8string());
        // Long enough that a renderer started under load is still listed at the first poll, a
        // second after its start.
        SetVariable("VISTREL_RENDERER_IDLE_MS", "5000");
        previous_ = fs::current_path();
        fs::current_path(work_);
    }

    ~LiveRoads() override
    {
        fs::current_path(previous_);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(root_, ignored);  // a renderer still running may keep its files on Windows
    }

    void SetVariable(const std::string& name, const std::string& value)
    {
        variables_.push_back(std::make_unique<ScopedEnvironment>(name, value));
    }

    // The installation as the renderer's installer leaves it; without the executable's path
    // when asked.
    void Install(bool withExecutable = true)
    {
        const std::string folder = ScopedRegistry::Escape(install_.u8string());
        const std::string binary = ScopedRegistry::Escape((install_ / kRendererFile).u8string());
        char ports[128];
        std::snprintf(ports, sizeof ports,
                      "\"LiveLinkPort\"=dword:%08x\r\n\"LiveLinkMaxPort\"=dword:%08x\r\n",
                      static_cast<unsigned>(firstPort_), static_cast<unsigned>(firstPort_ + 19));
        registry_ = std::make_unique<ScopedRegistry>(
            "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n"
            "\"VistrelActivePath\"=\"" + folder + "\"\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n" +
            ports +
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n"
            "\"VistrelVersion\"=\"Vistrel 5\"\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n"
            "\"CurrentVersion\"=\"5.0\"\r\n" +
            (withExecutable ? "\"BinName\"=\"" + binary + "\"\r\n" : "") +
            "\"BinFolder\"=\"" + folder + "\"\r\n");
    }

    // Runs the simulated host on the sample assembly with the commands given.
    int Run(const std::vector<std::string>& commands, const std::string& script = "")
    {
        sim::CommandLine options;
        options.plugin = HostPath(VISTREL_PLUGIN_PATH);
        options.textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
        options.model = HostPath(VISTREL_SOURCE_DIR "/examples/sample_assembly.json");
        options.record = "record.json";
        options.saveAs = "export.vsb";
        if (!script.empty()) {
            std::ofstream(work_ / "script.json", std::ios::binary) << script;
            options.script = "script.json";
        }
        options.commands = commands;
        std::ostringstream out;
        std::ostringstream err;
        const int status = sim::RunSimulatedHost(options, out, err);
        errors_ = err.str();
        record_ = Json::parse(ReadFile(work_ / "record.json"), nullptr, false);
        return status;
    }

    void StartRenderer()
    {
        const std::u16string path = (install_ / kRendererFile).u16string();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(Win32Wide(path.c_str()), nullptr, nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // Waits up to ten seconds for a renderer to announce itself on port.
    bool WaitForInstance(int port) const
    {
        const fs::path file =
            root_ / "instances" / ("renderer_" + std::to_string(port) + ".instance");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(file)) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    fs::path Session(int port, int number) const
    {
        return output_ /
               ("session_" + std::to_string(port) + "_" + std::to_string(number) + ".vsb");
    }

    fs::path root_;
    fs::path install_;
    fs::path output_;
    fs::path work_;
    fs::path previous_;
    int firstPort_ = 0;
    std::vector<std::unique_ptr<ScopedEnvironment>> variables_;
    std::unique_ptr<ScopedRegistry> registry_;
    std::string errors_;
    Json record_;
};

TEST_F(LiveRoads, RenderStreamsWhatExportWritesAndUpdateSendsNoUnchangedGeometry)
{
    Install();
    ASSERT_EQ(Run({"Vistrel Export", "Vistrel Render", "Vistrel Update"}), 0) << errors_;
    EXPECT_EQ(record_["console"], "");

    const std::string exported = ReadFile(work_ / "export.vsb");
    const std::string rendered = ReadFile(Session(firstPort_, 1));
    const std::string updated = ReadFile(Session(firstPort_, 2));
    const std::string model = AfterHead(exported, kExportHead);
    ASSERT_GT(Count(model, "geometry \"triangles\""), 0u) << model.substr(0, 2000);
    EXPECT_TRUE(AfterHead(rendered, kRenderHead) == model) << rendered.substr(0, 2000);

    // Update reuses the renderer that Render started, with the whole structure again but no
    // geometry of the parts, none of which changed.
    const std::string structure = AfterHead(updated, kUpdateHead);
    EXPECT_EQ(Count(structure, "geometry "), 0u) << structure;
    EXPECT_EQ(Count(structure, "\ngroup "), Count(model, "\ngroup "));
    EXPECT_EQ(Count(structure, "transform "), Count(model, "transform "));
    EXPECT_FALSE(fs::exists(Session(firstPort_ + 1, 1)));
}

TEST_F(LiveRoads, UpdateWithNoRendererRunningStartsOne)
{
    Install();
    ASSERT_EQ(Run({"Vistrel Update"}), 0) << errors_;
    // Nothing listened on the registry's port before the start; the renderer then took it.
    const std::string updated = ReadFile(Session(firstPort_, 1));
    EXPECT_TRUE(BeginsWith(updated, kUpdateHead)) << updated.substr(0, 2000);
    // A first Update has no recorded stamps, so every part counts as changed.
    EXPECT_GT(Count(updated, "geometry \"triangles\""), 0u);
}

TEST_F(LiveRoads, EachRenderStartsARendererOfItsOwn)
{
    Install();
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Render"}), 0) << errors_;
    const std::string first = ReadFile(Session(firstPort_, 1));
    const std::string second = ReadFile(Session(firstPort_ + 1, 1));
    EXPECT_TRUE(BeginsWith(first, kRenderHead)) << first.substr(0, 2000);
    EXPECT_TRUE(first == second);
    EXPECT_FALSE(fs::exists(Session(firstPort_, 2)));
}

TEST_F(LiveRoads, RendererGoingAwayMidSessionLeavesTheHostRunning)
{
    SetVariable("VISTREL_RENDERER_MAX_SESSION_BYTES", "4096");
    Install();
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Update", "Manual selection"}), 0) << errors_;
    ASSERT_EQ(record_["runs"].size(), 3u);
    EXPECT_EQ(record_["console"], "");
    // The renderer dropped the large Render session, stayed, and took the Update, which sent
    // no geometry and was small enough.
    EXPECT_FALSE(fs::exists(Session(firstPort_, 1)));
    const std::string updated = ReadFile(Session(firstPort_, 2));
    EXPECT_TRUE(BeginsWith(updated, kUpdateHead)) << updated.substr(0, 2000);
    EXPECT_FALSE(fs::exists(Session(firstPort_ + 1, 1)));
}

TEST_F(LiveRoads, FailedRenderPrintsFailedAndUpdateStillReusesARunningRenderer)
{
    Install(false);
    // A renderer the user started: Render, which always starts one of its own, finds nothing
    // to start; Update reuses this one through the library that Render left loaded.
    StartRenderer();
    ASSERT_TRUE(WaitForInstance(firstPort_));
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Update"}), 0) << errors_;
    EXPECT_EQ(record_["console"], "Failed");
    const std::string updated = ReadFile(Session(firstPort_, 1));
    EXPECT_TRUE(BeginsWith(updated, kUpdateHead)) << updated.substr(0, 2000);
    // The session closed, the library went with it.
    EXPECT_FALSE(LibraryIsLoaded(install_ / kLibraryFile));
}

}  // namespace
