// The host's save and open dialogs answered by the scripted user or by --save-as.
#include <gtest/gtest.h>

#include "simhost/host_functions.h"
#include "simhost/host_session.h"

namespace {

class FileDialogFunctions : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetSession(); }
    void TearDown() override { sim::ResetSession(); }

    void Script(const std::string& steps) {
        std::string error;
        ASSERT_TRUE(sim::Session().script.Parse("{\"steps\": [" + steps + "]}", error)) << error;
    }
    ProError Save(ProWchar* result) {
        return sim::ProFileSave(u"Save as vsb", u"*.vsb", nullptr, nullptr, u"C:\\scenes", u"car.vsb",
                                result);
    }
    const nlohmann::ordered_json& Record() { return sim::Session().record.Document(); }
};

TEST_F(FileDialogFunctions, ScriptAnswersInOrderAndCancelIsUserAbort) {
    Script(R"({"save": "C:\\scenes\\new.vsb"}, {"cancel": "open"})");
    ProPath result = u"untouched";
    EXPECT_EQ(Save(result), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(result), u"C:\\scenes\\new.vsb");
    ProPath opened = u"untouched";
    EXPECT_EQ(sim::ProFileOpen(u"Locate .fra animation", u"*.fra", nullptr, nullptr, u"", u"", opened),
              PRO_TK_USER_ABORT);
    EXPECT_EQ(std::u16string(opened), u"untouched");
    ASSERT_EQ(Record()["file_dialogs"].size(), 2u);
    EXPECT_EQ(Record()["file_dialogs"][0].dump(),
              R"({"dialog":"save","title":"Save as vsb","filter":"*.vsb",)"
              R"("default_folder":"C:\\scenes","default_name":"car.vsb","answer":"C:\\scenes\\new.vsb"})");
    EXPECT_TRUE(Record()["file_dialogs"][1]["answer"].is_null());
    EXPECT_FALSE(sim::Session().Stopped());
}

TEST_F(FileDialogFunctions, SaveAsAnswersWhatTheScriptDoesNot) {
    Script(R"({"save": "first.vsb"})");
    sim::Session().saveAs = "standing.vsb";
    ProPath result;
    EXPECT_EQ(Save(result), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(result), u"first.vsb");
    EXPECT_EQ(Save(result), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(result), u"standing.vsb");
    // The standing answer is for save dialogs only.
    EXPECT_EQ(sim::ProFileOpen(u"Open", u"*.fra", nullptr, nullptr, u"", u"", result), PRO_TK_USER_ABORT);
    EXPECT_EQ(sim::Session().StopMessage(),
              "the script does not answer the open dialog \"Open\": it has no steps left");
}

TEST_F(FileDialogFunctions, PathLongerThanTheHostsBufferStopsInsteadOfOverrunning) {
    Script("{\"save\": \"" + std::string(PRO_PATH_SIZE, 'a') + "\"}");
    ProWchar result[PRO_PATH_SIZE + 1];
    result[PRO_PATH_SIZE] = u'#';
    result[0] = 0;
    EXPECT_EQ(Save(result), PRO_TK_USER_ABORT);
    EXPECT_EQ(result[0], 0);
    EXPECT_EQ(result[PRO_PATH_SIZE], u'#');
    EXPECT_TRUE(sim::Session().Stopped());

    sim::ResetSession();
    Script("{\"save\": \"" + std::string(PRO_PATH_SIZE - 1, 'a') + "\"}");
    EXPECT_EQ(Save(result), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(result).size(), static_cast<size_t>(PRO_PATH_SIZE - 1));
}

TEST_F(FileDialogFunctions, OnceStoppedEveryQuestionIsCancelledSilently) {
    Script(R"({"dialog": "X", "press": "OK"}, {"save": "late.vsb"})");
    ProPath result;
    EXPECT_EQ(Save(result), PRO_TK_USER_ABORT);
    const std::string message = sim::Session().StopMessage();
    EXPECT_EQ(message, "the script does not answer the save dialog \"Save as vsb\": its next step is "
                       "step 1 (dialog \"X\")");
    EXPECT_EQ(Save(result), PRO_TK_USER_ABORT);
    EXPECT_EQ(sim::Session().StopMessage(), message);
    EXPECT_EQ(sim::Session().script.Remaining(), 2u);
}

}  // namespace
