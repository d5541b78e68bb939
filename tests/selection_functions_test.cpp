// The user's picks (ProSelect) and choice of a simplified representation, answered by the
// scripted user from the components and representations of the session's world.
#include <gtest/gtest.h>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "tests/sim_test_world.h"

namespace {

class SelectionFunctions : public ::testing::Test {
protected:
    // CAR (assembly) holds component 3, WHEEL (assembly), which holds component 7, BOLT (part),
    // and the datum 5; CAR has the representations MASTER (-1) and LIGHT (4).
    void SetUp() override {
        ASSERT_TRUE(sim::UseWorld(R"({"current": "CAR", "models": [
            {"name": "CAR", "type": "assembly",
             "features": [{"id": 3, "model": "WHEEL"}, {"id": 5}],
             "simpreps": [{"id": -1, "name": "MASTER"}, {"id": 4, "name": "LIGHT"}]},
            {"name": "WHEEL", "type": "assembly", "features": [{"id": 7, "model": "BOLT"}]},
            {"name": "BOLT", "type": "part"}]})"));
    }
    void TearDown() override {
        sim::ResetSession();
        sim::HostWorld() = sim::World{};
    }

    void Script(const std::string& steps) {
        std::string error;
        ASSERT_TRUE(sim::Session().script.Parse("{\"steps\": [" + steps + "]}", error)) << error;
    }
    // Asks for picks: they land in picks and count.
    ProError Select(int max = -1) {
        return sim::ProSelect("prt_or_asm", max, nullptr, nullptr, nullptr, nullptr, &picks,
                              &count);
    }
    ProMdl Car() { return sim::Handle("CAR"); }

    ProSelection* picks = nullptr;
    int count = 0;
};

TEST_F(SelectionFunctions, PicksAreComponentPathsOfTheCurrentModel) {
    Script(R"({"select": [[], [3], [3, 7]]})");
    ASSERT_EQ(Select(), PRO_TK_NO_ERROR);
    ASSERT_EQ(count, 3);
    ProAsmcomppath path{};
    ASSERT_EQ(sim::ProSelectionAsmcomppathGet(picks[0], &path), PRO_TK_NO_ERROR);
    EXPECT_EQ(path.owner, Car());
    EXPECT_EQ(path.table_num, 0);  // the top model itself
    ASSERT_EQ(sim::ProSelectionAsmcomppathGet(picks[2], &path), PRO_TK_NO_ERROR);
    EXPECT_EQ(path.table_num, 2);
    EXPECT_EQ(path.comp_id_table[0], 3);
    EXPECT_EQ(path.comp_id_table[1], 7);
    // The picks are the host's: nothing for the plug-in to free.
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
    const auto& recorded = sim::Session().record.Document()["selections"][0];
    EXPECT_EQ(recorded.dump(), R"({"option":"prt_or_asm","max_count":-1,"picks":[[],[3],[3,7]]})");
}

TEST_F(SelectionFunctions, NextSelectReplacesThePicks) {
    Script(R"({"select": [[3]]}, {"cancel": "select"})");
    ASSERT_EQ(Select(), PRO_TK_NO_ERROR);
    ProSelection old = picks[0];
    EXPECT_EQ(Select(), PRO_TK_USER_ABORT);
    ProAsmcomppath path{};
    EXPECT_EQ(sim::ProSelectionAsmcomppathGet(old, &path), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProSelectionAsmcomppathGet(nullptr, &path), PRO_TK_BAD_INPUTS);
}

TEST_F(SelectionFunctions, PicksThatAreNoComponentsStopTheCommand) {
    const struct {
        const char* step;
        int max;
        const char* message;
    } cases[] = {
        {R"({"select": [[5]]})", -1, "script step 1 (select): pick [5] is no component of \"CAR\""},
        {R"({"select": [[3, 9]]})", -1, "script step 1 (select): pick [3,9] is no component of \"CAR\""},
        {R"({"select": [[3], [3, 7]]})", 1, "script step 1 (select): more picks than the 1 asked for"},
    };
    for (const auto& bad : cases) {
        sim::ResetSession();
        Script(bad.step);
        EXPECT_EQ(Select(bad.max), PRO_TK_USER_ABORT);
        EXPECT_EQ(sim::Session().StopMessage(), bad.message);
    }
}

TEST_F(SelectionFunctions, SimplifiedRepresentationIsChosenByName) {
    Script(R"({"simprep": "LIGHT"}, {"cancel": "simprep"}, {"simprep": "HEAVY"})");
    ProSimprep rep{70, -1, Car()};
    EXPECT_EQ(sim::ProSimprepSelect(Car(), &rep), PRO_TK_NO_ERROR);
    EXPECT_EQ(rep.id, 4);
    EXPECT_EQ(rep.type, 70);
    EXPECT_EQ(rep.owner, Car());
    EXPECT_EQ(sim::ProSimprepSelect(Car(), &rep), PRO_TK_USER_ABORT);
    EXPECT_EQ(rep.id, 4);
    EXPECT_EQ(sim::ProSimprepSelect(Car(), &rep), PRO_TK_USER_ABORT);
    EXPECT_EQ(sim::Session().StopMessage(),
              "script step 3 (simprep): \"CAR\" has no simplified representation \"HEAVY\"");
    EXPECT_EQ(sim::Session().record.Document()["simprep_choices"].dump(),
              R"([{"model":"CAR","choice":"LIGHT"},{"model":"CAR","choice":null},)"
              R"({"model":"CAR","choice":null}])");
}

}  // namespace
