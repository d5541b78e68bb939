// The plug-in object: its defaults, its setters, and its life from start-up to shut-down.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plugin/host_commands.h"
#include "plugin/plugin_application.h"
#include "plugin/plugin_entry.h"
#include "plugin/settings_file.h"
#include "simhost/host_session.h"
#include "tests/scoped_temp_folder.h"
#include "tests/sim_export_fixture.h"
#include "tests/simhost_binding.h"

namespace {

// Against the simulated host, in this process, with no plug-in object at the start.
class PluginApplicationTest : public SimExportTest {
protected:
    void SetUp() override {
        Start(R"({"models": []})");
        DestroyPluginApplication();
    }

    static const std::vector<std::string>& IconsSet(uiCmdCmdId command) {
        return sim::Session().commands.Find(command)->iconHistory;
    }

    void WriteSettings(const std::string& elements) {
        std::ofstream(kSettingsFileName) << "<?xml version=\"1.0\" ?>\n<vistrel_plugin_settings>"
                                         << elements << "</vistrel_plugin_settings>\n";
    }

    ScopedTempFolder folder;
};

}  // namespace

TEST_F(PluginApplicationTest, WithoutSettingsFileEveryFieldHasItsDefault) {
    PluginApplication app;
    const PluginSettings& s = app.settings;
    EXPECT_EQ(s.tessellationQuality, 0.2);
    EXPECT_EQ(s.upAxis, 1);
    EXPECT_EQ(s.selectionMode, 0);
    EXPECT_FALSE(s.promptForMechanism);
    EXPECT_TRUE(s.exportPath.empty());
    EXPECT_TRUE(s.fraPath.empty());
    EXPECT_TRUE(s.includeNURBS);
    EXPECT_TRUE(s.separateMaterials);

    EXPECT_EQ(app.previousTessellationQuality, 0.2);
    EXPECT_EQ(app.FramesPerSecond, 25);
    EXPECT_EQ(app.metreScale, 1.0f);
    EXPECT_EQ(app.lastLiveLinkPort, -1);
    EXPECT_EQ(app.frameCount, 0);
    EXPECT_FALSE(app.IsUpdateInProgress());
    EXPECT_EQ(app.GetSelectedComponents(), nullptr);
    EXPECT_EQ(app.GetSelectedComponentCount(), 0);
    for (uiCmdCmdId id : {app.renderCommandId, app.exportCommandId, app.settingsCommandId,
                          app.updateCommandId, app.manualCommandId, app.automaticCommandId}) {
        EXPECT_EQ(id, 0);
    }
    EXPECT_EQ(app.GetSceneBuilder(), &app.sceneBuilder);
    EXPECT_EQ(app.sceneBuilder.GetSceneApi(), nullptr);
    // Constructing reads the file but never writes it.
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(PluginApplicationTest, QualityToRestoreStartsAsTheOneReadFromTheFile) {
    WriteSettings("<tessellationQuality>0.5</tessellationQuality><selectionMode>manual</selectionMode>");
    PluginApplication app;
    EXPECT_EQ(app.settings.tessellationQuality, 0.5);
    EXPECT_EQ(app.previousTessellationQuality, 0.5);
    // Read straight into the record: no icon is set while reading.
    EXPECT_TRUE(app.IsManualSelection());
    EXPECT_EQ(StatusFunctionsCalled(), std::vector<std::string>{});
}

TEST_F(PluginApplicationTest, SetTessellationQualityKeepsTheValueItReplacesEveryTime) {
    PluginApplication app;
    app.SetTessellationQuality(0.3f);
    app.SetTessellationQuality(0.4f);
    app.SetTessellationQuality(0.5f);
    EXPECT_EQ(app.settings.tessellationQuality, 0.5);
    app.RestoreTessellationQuality();
    EXPECT_EQ(app.settings.tessellationQuality, static_cast<double>(0.4f));

    app.SetTessellationQuality(0.35f);
    EXPECT_EQ(app.settings.tessellationQuality, 0.3499999940395355);
}

TEST_F(PluginApplicationTest, SetSelectionModeSetsTheIconsAndWritesNoFile) {
    ProWchar errors[80] = {};
    ASSERT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), 0);
    PluginApplication& app = *FindPluginApplication();
    app.SetSelectionMode(true);
    app.SetSelectionMode(true);
    EXPECT_EQ(app.settings.selectionMode, 1);
    app.SetSelectionMode(false);
    EXPECT_EQ(app.settings.selectionMode, 0);
    // After the marks of the start-up in automatic mode.
    EXPECT_EQ(IconsSet(app.manualCommandId),
              (std::vector<std::string>{"vs_update_unchecked.png", "vs_update_checked.png",
                                        "vs_update_checked.png", "vs_update_unchecked.png"}));
    EXPECT_EQ(IconsSet(app.automaticCommandId),
              (std::vector<std::string>{"vs_update_checked.png", "vs_update_unchecked.png",
                                        "vs_update_unchecked.png", "vs_update_checked.png"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// ---- Lifecycle -----------------------------------------------------------------------------------

TEST_F(PluginApplicationTest, TheObjectIsCreatedOnFirstUseAndSharedAfterwards) {
    EXPECT_EQ(FindPluginApplication(), nullptr);
    PluginApplication* first = GetPluginApplication();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetPluginApplication(), first);
    EXPECT_EQ(FindPluginApplication(), first);
    ProWchar errors[80] = {};
    EXPECT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), 0);
    PluginApplication* app = FindPluginApplication();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(sim::Session().commands.All().size(), 6u);
    EXPECT_EQ(app->updateCommandId, sim::Session().commands.Find("Vistrel Update")->id);
}

TEST_F(PluginApplicationTest, ShutDownDestroysTheObjectOnceSavesNothingAndANewOneReadsTheFile) {
    PluginTerminate();  // no object yet: nothing happens
    GetPluginApplication()->SetUpAxis(3);
    PluginTerminate();
    EXPECT_EQ(FindPluginApplication(), nullptr);
    PluginTerminate();
    EXPECT_EQ(FindPluginApplication(), nullptr);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    // An entry after shut-down makes a new object, which reads the file again.
    WriteSettings("<upAxis>4</upAxis>");
    EXPECT_EQ(OnRender(0, nullptr, nullptr), 0);
    ASSERT_NE(FindPluginApplication(), nullptr);
    EXPECT_EQ(FindPluginApplication()->settings.upAxis, 4);
}
