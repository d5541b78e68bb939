// The host's message files: four lines per entry, and ProMessageToBuffer filling a ProLine.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "simhost/host_functions.h"
#include "simhost/host_session.h"
#include "simhost/message_file.h"

namespace {

sim::MessageFile Read(const std::string& text) {
    std::istringstream in(text);
    sim::MessageFile file;
    file.Read(in);
    return file;
}

TEST(MessageFile, EntriesAreFourLinesAndTheTextIsTheSecond) {
    const sim::MessageFile file = Read(
        "vistrelOK\nOK\n#\n#\n"
        "vistrelCancel\nCancel\nAbbrechen\n#\n");
    EXPECT_EQ(file.Size(), 2u);
    ASSERT_NE(file.Find("vistrelOK"), nullptr);
    EXPECT_EQ(*file.Find("vistrelOK"), u"OK");
    // The host runs in English: the translation line is not used.
    EXPECT_EQ(*file.Find("vistrelCancel"), u"Cancel");
    EXPECT_EQ(file.Find("vistrelBrowse"), nullptr);
    EXPECT_TRUE(file.Problems().empty());
}

TEST(MessageFile, AcceptsWindowsLineEndsBlankLinesAndUtf8) {
    const sim::MessageFile file = Read(
        "\r\nkeyOne\r\nGr\xC3\xB6\xC3\x9F" "e\r\n#\r\n#\r\n\r\n\r\nkeyTwo\r\n\r\n#\r\n#\r\n");
    EXPECT_EQ(*file.Find("keyOne"), u"Gr\u00F6\u00DFe");
    EXPECT_EQ(*file.Find("keyTwo"), u"");  // an empty text is still a text
    EXPECT_TRUE(file.Problems().empty());
}

TEST(MessageFile, KeepsWhatItCanOfMalformedFiles) {
    const sim::MessageFile file = Read(
        "twice\nfirst\n#\n#\n"
        "twice\nsecond\n#\n#\n"
        "short\ntext only");
    EXPECT_EQ(*file.Find("twice"), u"first");
    ASSERT_NE(file.Find("short"), nullptr);
    EXPECT_EQ(*file.Find("short"), u"text only");
    ASSERT_EQ(file.Problems().size(), 2u);
    EXPECT_EQ(file.Problems()[0], "line 5: key \"twice\" is given again; the first entry counts");
    EXPECT_EQ(file.Problems()[1], "line 9: entry \"short\" is cut short");
}

class MessageToBuffer : public ::testing::Test {
protected:
    void SetUp() override {
        sim::ResetSession();
        folder_ = ::testing::TempDir();
        std::ofstream out(folder_ + "/sim_msg_test.txt", std::ios::binary);
        out << "vistrelOK\nOK\n#\n#\n"
            << "vistrelLong\n" << std::string(100, 'x') << "\n#\n#\n";
        sim::Session().textFolder = folder_;
    }
    void TearDown() override {
        std::remove((folder_ + "/sim_msg_test.txt").c_str());
        sim::ResetSession();
    }
    std::string folder_;
};

TEST_F(MessageToBuffer, FillsTheLineNotesTheKeyAndCutsLongTexts) {
    ProLine line;
    EXPECT_EQ(sim::ProMessageToBuffer(line, u"sim_msg_test.txt", "vistrelOK"), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(line), u"OK");
    const auto& messages = sim::Session().record.Document()["messages"];
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0]["key"], "vistrelOK");
    EXPECT_EQ(messages[0]["text"], "OK");
    ProWchar longLine[PRO_LINE_SIZE + 4];
    for (ProWchar& c : longLine) c = u'#';
    EXPECT_EQ(sim::ProMessageToBuffer(longLine, u"sim_msg_test.txt", "vistrelLong"), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(longLine), std::u16string(PRO_LINE_SIZE - 1, u'x'));
    EXPECT_EQ(longLine[PRO_LINE_SIZE], u'#');  // nothing written past the line
}

TEST_F(MessageToBuffer, MissingKeyOrFileLeavesAnEmptyText) {
    ProLine line = u"old";
    EXPECT_EQ(sim::ProMessageToBuffer(line, u"sim_msg_test.txt", "vistrelNope"), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(line[0], 0);
    EXPECT_EQ(sim::ProMessageToBuffer(line, u"no_such_msg.txt", "vistrelOK"), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(line[0], 0);
    // A file name is a name in the text folder, never a path out of it.
    EXPECT_EQ(sim::ProMessageToBuffer(line, u"../sim_msg_test.txt", "vistrelOK"), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(sim::Session().record.Document()["problems"].size(), 3u);
}

}  // namespace
