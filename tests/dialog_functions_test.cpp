// The host's dialog toolkit with the scripted user in front of it: values set fire the control's
// action, the pressed button's action ends the dialog, and ProUIDialogActivate answers its status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"

namespace {

// What the dialog's actions saw, in order.
std::vector<std::string> g_calls;

void OnSpinboxUpdate(const char* dialog, const char* component, ProAppData data) {
    double value = 0;
    sim::ProUISpinboxDoubleGet(dialog, component, &value);
    sim::ProUISliderIntegerSet(dialog, "slider", static_cast<int>(value * 10000));
    g_calls.push_back(std::string("update ") + component + " " + std::to_string(value) +
                      (data == &g_calls ? " with data" : ""));
}

void OnOk(const char* dialog, const char* component, ProAppData) {
    g_calls.push_back(std::string("press ") + component);
    sim::ProUIDialogExit(dialog, 0);
}

void OnCancel(const char* dialog, const char* component, ProAppData) {
    g_calls.push_back(std::string("press ") + component);
    sim::ProUIDialogExit(dialog, PRO_TK_USER_ABORT);
}

void OnNothing(const char*, const char* component, ProAppData) {
    g_calls.push_back(std::string("press ") + component);
}

ProUIGridopts Place(int row, int column) {
    ProUIGridopts place{};
    place.row = row;
    place.column = column;
    place.horz_cells = 1;
    place.vert_cells = 1;
    place.attach_top = place.attach_bottom = place.attach_left = place.attach_right = PRO_B_TRUE;
    place.top_offset = place.bottom_offset = place.left_offset = place.right_offset = -1;
    return place;
}

class DialogFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        sim::ResetSession();
        g_calls.clear();
    }
    void TearDown() override { sim::ResetSession(); }

    void Script(const std::string& steps) {
        std::string error;
        ASSERT_TRUE(sim::Session().script.Parse("{\"steps\": [" + steps + "]}", error)) << error;
    }

    // A small settings dialog: a spin box and a slider that follow each other, a check button,
    // a radio group, and OK / Cancel / Apply buttons in a layout.
    void BuildSettings() {
        // One setting a row in column 1, the layout in row 4, its buttons side by side.
        ProUIGridopts rows[] = {Place(0, 1), Place(1, 1), Place(2, 1), Place(3, 1), Place(4, 0)};
        ProUIGridopts columns[] = {Place(0, 0), Place(0, 1), Place(0, 2)};
        ASSERT_EQ(sim::ProUIDialogCreate("Settings", nullptr), PRO_TK_NO_ERROR);
        ASSERT_EQ(sim::ProUIDialogSpinboxAdd("Settings", "stepbox", &rows[0]), PRO_TK_NO_ERROR);
        sim::ProUISpinboxDoubleSet("Settings", "stepbox", 0.2);
        sim::ProUISpinboxMindoubleSet("Settings", "stepbox", 0.0);
        sim::ProUISpinboxMaxdoubleSet("Settings", "stepbox", 1.0);
        sim::ProUISpinboxUpdateActionSet("Settings", "stepbox", OnSpinboxUpdate, &g_calls);
        sim::ProUIDialogSliderAdd("Settings", "slider", &rows[1]);
        sim::ProUISliderIntegerSet("Settings", "slider", 2000);
        sim::ProUIDialogCheckbuttonAdd("Settings", "nurbs", &rows[2]);
        sim::ProUIDialogRadiogroupAdd("Settings", "axis", &rows[3]);
        const char* names[] = {"xaxis", "yaxis", "zaxis"};
        sim::ProUIRadiogroupNamesSet("Settings", "axis", 3, names);
        sim::ProUIRadiogroupSelectednamesSet("Settings", "axis", 1, &names[1]);
        sim::ProUIDialogLayoutAdd("Settings", "buttons", &rows[4]);
        sim::ProUILayoutUnattachLeft("Settings", "buttons");
        sim::ProUILayoutPushbuttonAdd("Settings", "buttons", "ok", &columns[0]);
        sim::ProUILayoutPushbuttonAdd("Settings", "buttons", "cancel", &columns[1]);
        sim::ProUILayoutPushbuttonAdd("Settings", "buttons", "apply", &columns[2]);
        sim::ProUIPushbuttonTextSet("Settings", "ok", u"OK");
        sim::ProUIPushbuttonActivateActionSet("Settings", "ok", OnOk, nullptr);
        sim::ProUIPushbuttonActivateActionSet("Settings", "cancel", OnCancel, nullptr);
        sim::ProUIPushbuttonActivateActionSet("Settings", "apply", OnNothing, nullptr);
        sim::ProUIDialogDisableResizing("Settings");
    }

    const nlohmann::ordered_json& Record() { return sim::Session().record.Document(); }
};

// The settings dialog's own tests read back what the user set; the actions fired and the record
// of the user are checked here.
TEST_F(DialogFunctions, ScriptSetsValuesFiresUpdatesPressesTheButtonsAndIsRecorded) {
    Script(R"({"dialog": "Settings", "set": {"stepbox": 0.25}, "press": ["apply", "ok"]})");
    BuildSettings();
    int status = 99;
    EXPECT_EQ(sim::ProUIDialogActivate("Settings", &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"update stepbox 0.250000 with data", "press apply",
                                                 "press ok"}));
    EXPECT_EQ(Record()["dialogs"][0]["user"].dump(),
              R"({"set":[{"control":"stepbox","value":0.25}],"pressed":["apply","ok"]})");
    sim::ProUIDialogDestroy("Settings");
}

TEST_F(DialogFunctions, UnansweredDialogStopsTheCommandAsIfClosed) {
    Script(R"({"save": "x.vsb"})");
    BuildSettings();
    int status = 0;
    EXPECT_EQ(sim::ProUIDialogActivate("Settings", &status), PRO_TK_USER_ABORT);
    EXPECT_EQ(status, PRO_TK_USER_ABORT);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(sim::Session().Stopped());
    EXPECT_EQ(sim::Session().StopMessage(),
              "the script does not answer the dialog \"Settings\": its next step is step 1 (save)");
    EXPECT_EQ(Record()["dialogs"][0]["closed_by_host"], true);
    // The step meant for another question is left for it.
    EXPECT_EQ(sim::Session().script.Remaining(), 1u);
}

TEST_F(DialogFunctions, StepsThatCannotBePlayedStopTheCommand) {
    const struct {
        const char* step;
        const char* message;
    } cases[] = {
        {R"({"dialog": "Settings", "set": {"stepbox": 1.5}, "press": "ok"})",
         "script step 1 (dialog \"Settings\"): value 1.5 lies outside the range of spinbox \"stepbox\""},
        {R"({"dialog": "Settings", "set": {"nurbs": 1}, "press": "ok"})",
         "script step 1 (dialog \"Settings\"): value 1 does not suit the checkbutton \"nurbs\""},
        {R"({"dialog": "Settings", "set": {"axis": "waxis"}, "press": "ok"})",
         "script step 1 (dialog \"Settings\"): radiogroup \"axis\" has no button \"waxis\""},
        {R"({"dialog": "Settings", "set": {"colour": 1}, "press": "ok"})",
         "script step 1 (dialog \"Settings\"): dialog \"Settings\" has no control \"colour\""},
        {R"({"dialog": "Settings", "press": "slider"})",
         "script step 1 (dialog \"Settings\"): dialog \"Settings\" has no push button \"slider\""},
        {R"({"dialog": "Settings", "press": "apply"})",
         "script step 1 (dialog \"Settings\"): the dialog is still open after the script's last press"},
        {R"({"dialog": "Settings", "press": ["ok", "cancel"]})",
         "script step 1 (dialog \"Settings\"): button \"cancel\" is pressed after the dialog has ended"},
    };
    for (const auto& bad : cases) {
        sim::ResetSession();
        Script(bad.step);
        BuildSettings();
        int status = 0;
        sim::ProUIDialogActivate("Settings", &status);
        EXPECT_EQ(sim::Session().StopMessage(), bad.message) << bad.step;
        sim::ProUIDialogDestroy("Settings");
    }
}

TEST_F(DialogFunctions, SingleButtonDialogIsConfirmedWhenUnanswered) {
    ProUIGridopts place = Place(0, 0);
    sim::ProUIDialogCreate("Finished", nullptr);
    sim::ProUIDialogLabelAdd("Finished", "text", &place);
    place.row = 1;
    sim::ProUIDialogPushbuttonAdd("Finished", "done", &place);
    sim::ProUIPushbuttonActivateActionSet("Finished", "done", OnOk, nullptr);
    // No status wanted: the host must not write through a null pointer.
    EXPECT_EQ(sim::ProUIDialogActivate("Finished", nullptr), PRO_TK_NO_ERROR);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"press done"}));
    EXPECT_EQ(Record()["dialogs"][0]["user"]["by_default"], true);
    EXPECT_FALSE(sim::Session().Stopped());
    sim::ProUIDialogDestroy("Finished");
}

TEST_F(DialogFunctions, MisusesAreRefusedAndNoted) {
    ProUIGridopts place = Place(0, 0);
    EXPECT_EQ(sim::ProUIDialogLabelAdd("Ghost", "label", &place), PRO_TK_BAD_INPUTS);
    sim::ProUIDialogCreate("D", nullptr);
    EXPECT_EQ(sim::ProUIDialogCreate("D", nullptr), PRO_TK_GENERAL_ERROR);
    EXPECT_EQ(sim::ProUIDialogCreate("E", "resource.res"), PRO_TK_E_NOT_FOUND);
    sim::ProUIDialogLabelAdd("D", "label", &place);
    EXPECT_EQ(sim::ProUIDialogLabelAdd("D", "label", &place), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProUILayoutPushbuttonAdd("D", "label", "b", &place), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProUIPushbuttonTextSet("D", "label", u"x"), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(sim::ProUIDialogExit("D", 0), PRO_TK_GENERAL_ERROR);
    EXPECT_EQ(sim::ProUIDialogDestroy("D"), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::ProUIDialogDestroy("D"), PRO_TK_GENERAL_ERROR);
    EXPECT_EQ(Record()["problems"].size(), 8u);
    EXPECT_EQ(Record()["problems"][5].get<std::string>(),
              "ProUIPushbuttonTextSet: dialog \"D\" has no pushbutton \"label\"");
}

}  // namespace
