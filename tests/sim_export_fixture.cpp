#include "tests/sim_export_fixture.h"

#include "simhost/host_memory.h"
#include "simhost/model_functions.h"
#include "tests/sim_test_world.h"
#include "tests/simhost_binding.h"
#include "toolkit/toolkit_binding.h"

bool SimExportTest::Start(const std::string& world, const std::string& script) {
    DestroyPluginApplication();
    if (!sim::UseWorld(world)) return false;
    if (!script.empty()) {
        std::string error;
        const bool parsed = sim::Session().script.Parse(script, error);
        EXPECT_TRUE(parsed) << error;
        if (!parsed) return false;
    }
    BindSimulatedHost();
    GetPluginApplication()->sceneBuilder.api = &scene;
    return true;
}

void SimExportTest::TearDown() {
    DestroyPluginApplication();
    ToolkitUnbind();
    sim::FreeModelRecords();
    EXPECT_EQ(sim::LiveHostBlocks(), 0u) << "host memory the plug-in did not give back";
    sim::FreeAllHostBlocks();
}

std::string SimExportTest::HostProblems() const {
    const auto& document = sim::Session().record.Document();
    return document.contains("problems") ? document["problems"].dump() : "[]";
}
