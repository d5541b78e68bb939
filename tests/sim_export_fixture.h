// Test support: the plug-in's export code run in this process against the simulated host. The
// host's toolkit functions are bound to the plug-in's forwarders, the world comes from model-file
// text, the scripted user from script text, and the plug-in object writes into a RecordingScene.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/plugin_application.h"
#include "tests/recording_scene.h"

class SimExportTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Loads the world and the script, binds the host and makes a fresh plug-in object whose
    // scene output is scene. False (with a test failure) when the world or script is bad.
    bool Start(const std::string& world, const std::string& script = "");

    PluginApplication& App() { return *GetPluginApplication(); }
    // The calls of the scene whose text starts with one of the prefixes.
    std::vector<std::string> Calls(const std::vector<std::string>& prefixes) const {
        return scene.CallsStartingWith(prefixes);
    }
    // The problems the simulated host noted: calls it refused.
    std::string HostProblems() const;

    RecordingScene scene;
};
