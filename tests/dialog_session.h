// Test support for the dialogs: whole sessions of the simulated host with the real plug-in
// library, in a fresh current folder per test, with the record of what the plug-in did (the
// dialogs as they opened, what the scripted user did, the file dialogs, the host memory left).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/scoped_temp_folder.h"

class DialogSession : public ::testing::Test {
protected:
    using Json = nlohmann::ordered_json;

    void SetUp() override { folder_ = std::make_unique<ScopedTempFolder>(); }
    void TearDown() override { folder_.reset(); }

    // Writes a file into the test's folder.
    void WriteText(const std::string& name, const std::string& text);
    // The text of a file in the test's folder; empty when there is none.
    std::string ReadText(const std::string& name) const;
    // The settings file the plug-in saved in the test's folder.
    std::string SettingsFile() const { return ReadText("vistrel_plugin_settings.xml"); }

    // Runs the host with the plug-in on the commands, the model file model.json (a part named
    // BRACKET unless the test wrote one) and a script of steps (JSON texts), and keeps the
    // record; answers whether the host ended with status 0 (a test failure when it did not).
    // The session must close every file it opens.
    bool Run(const std::vector<std::string>& steps, const std::vector<std::string>& commands);

    // The dialog of that name in the record as it opened, the n-th of that name.
    const Json& Dialog(const std::string& name, size_t n = 0) const;
    // The control of that name in a recorded dialog.
    static const Json& Control(const Json& dialog, const std::string& name);

    Json record_;
    std::string errors_;

private:
    std::unique_ptr<ScopedTempFolder> folder_;
};

// The place of a control on the host's grid as the record holds it: row, column, cells wide and
// one high, attached on every side but those named, resizable, the default offsets.
std::string GridPlace(int row, int column, bool left = true, bool right = true, int cells = 1);

// Whether text holds part.
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A settings file as the plug-in writes it, with the given values.
std::string SettingsXml(const std::string& quality, const std::string& upAxis,
                        const std::string& selectionMode, const std::string& includeNurbs,
                        const std::string& separateMaterials, const std::string& prompt,
                        const std::string& exportPath, const std::string& fraPath);
