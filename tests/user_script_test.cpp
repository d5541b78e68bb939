// The scripted user's file: steps read in order, and clear messages for scripts that are wrong.
#include <gtest/gtest.h>

#include "simhost/user_script.h"

namespace {

TEST(UserScript, ReadsEveryKindOfStepInOrder) {
    sim::UserScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(R"({"steps": [
        {"save": "out.vsb"},
        {"cancel": "open"},
        {"simprep": "LIGHT"},
        {"select": [[], [3, 7]]},
        {"dialog": "Vistrel_Settings", "set": {"stepbox": 0.35, "Vistrel_NURBS_Check": false},
         "press": ["Vistrel_Update", "Vistrel_OK"]},
        {"model": {"bump": "BOLT"}}
    ]})", error)) << error;
    ASSERT_EQ(script.Remaining(), 6u);

    const sim::ScriptStep* step = script.Next();
    EXPECT_EQ(step->question, sim::Question::SaveDialog);
    EXPECT_EQ(step->text, "out.vsb");
    script.Take();
    step = script.Next();
    EXPECT_EQ(step->question, sim::Question::OpenDialog);
    EXPECT_TRUE(step->cancel);
    script.Take();
    EXPECT_EQ(script.Next()->text, "LIGHT");
    script.Take();
    step = script.Next();
    ASSERT_EQ(step->picks.size(), 2u);
    EXPECT_TRUE(step->picks[0].empty());
    EXPECT_EQ(step->picks[1], (std::vector<int>{3, 7}));
    script.Take();
    step = script.Next();
    EXPECT_EQ(step->dialog, "Vistrel_Settings");
    ASSERT_EQ(step->sets.size(), 2u);
    // The order of the sets is the script's, not alphabetical.
    EXPECT_EQ(step->sets[0].first, "stepbox");
    EXPECT_EQ(step->sets[1].first, "Vistrel_NURBS_Check");
    EXPECT_EQ(step->presses, (std::vector<std::string>{"Vistrel_Update", "Vistrel_OK"}));
    EXPECT_EQ(step->Describe(), "step 5 (dialog \"Vistrel_Settings\")");
    script.Take();
    EXPECT_EQ(script.Next()->question, sim::Question::ModelChange);
    script.Take();
    EXPECT_EQ(script.Next(), nullptr);
    script.Take();  // taking past the end changes nothing
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST(UserScript, RejectsMalformedScriptsNamingTheStep) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"{\"steps\": [", "the script is no valid JSON"},
        {"[]", "the script must be an object holding just a list \"steps\""},
        {"{\"steps\": [], \"extra\": 1}", "the script must be an object holding just a list \"steps\""},
        {"{\"steps\": [{\"save\": \"\"}]}", "script step 1: the path must be a non-empty text"},
        {"{\"steps\": [{\"save\": \"a\"}, {\"cancel\": \"dialog\"}]}",
         "script step 2: \"cancel\" must be \"save\", \"open\", \"simprep\" or \"select\""},
        {"{\"steps\": [{\"dialog\": \"D\"}]}", "script step 1: a dialog step needs \"press\""},
        {"{\"steps\": [{\"dialog\": \"D\", \"press\": []}]}", "script step 1: \"press\" names no button"},
        {"{\"steps\": [{\"dialog\": \"D\", \"press\": \"B\", \"save\": \"x\"}]}",
         "script step 1: unknown key \"save\""},
        {"{\"steps\": [{\"select\": [[1.5]]}]}", "script step 1: a feature id must be an integer"},
        {"{\"steps\": [{\"select\": [[4294967296]]}]}", "script step 1: a feature id must be an integer"},
        {"{\"steps\": [{\"select\": [3]}]}", "script step 1: each pick must be a list of feature ids"},
        {"{\"steps\": [{\"press\": \"OK\"}]}", "script step 1: a step must hold one of"},
        {"{\"steps\": [7]}", "script step 1: a step must be an object"},
    };
    for (const auto& bad : cases) {
        sim::UserScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(bad.text, error)) << bad.text;
        EXPECT_EQ(error.rfind(bad.error, 0), 0u) << bad.text << " gave: " << error;
        EXPECT_EQ(script.Remaining(), 0u);
    }
}

TEST(UserScript, AMissingFileIsAnError) {
    sim::UserScript script;
    std::string error;
    EXPECT_FALSE(script.Load("/no/such/folder/script.json", error));
    EXPECT_EQ(error, "cannot read the script \"/no/such/folder/script.json\"");
}

}  // namespace
