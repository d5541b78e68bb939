// The user's picks (ProSelect) and choice of a simplified representation, answered by the
// scripted user from the components and representations of the session's world.
#include <gtest/gtest.h>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/model/world.h"
#include "simhost/model_handles.h"

namespace {

class SelectionFunctions : public ::testing::Test {
protected:
    // CAR (assembly) holds component 3, WHEEL (assembly), which holds component 7, BOLT (part);
    // CAR has the representations MASTER (-1) and LIGHT (4).
    void SetUp() override {
        sim::ResetSession();
        sim::World& world = sim::HostWorld();
        world = sim::World{};
        world.models.resize(3);
        world.models[0].name = "CAR";
        world.models[0].type = sim::ModelType::Assembly;
        world.models[1].name = "WHEEL";
        world.models[1].type = sim::ModelType::Assembly;
        world.models[2].name = "BOLT";
        sim::Feature wheel;
        wheel.id = 3;
        wheel.type = PRO_FEAT_COMPONENT;
        wheel.model = 1;
        world.models[0].features.push_back(wheel);
        sim::Feature bolt = wheel;
        bolt.id = 7;
        bolt.model = 2;
        world.models[1].features.push_back(bolt);
        sim::Feature datum;
        datum.id = 5;
        world.models[0].features.push_back(datum);
        world.models[0].simpreps.resize(2);
        world.models[0].simpreps[0].id = -1;
        world.models[0].simpreps[0].name = "MASTER";
        world.models[0].simpreps[1].id = 4;
        world.models[0].simpreps[1].name = "LIGHT";
        world.current = 0;
        world.mode = PRO_MODE_ASSEMBLY;
    }
    void TearDown() override {
        sim::ResetSession();
        sim::HostWorld() = sim::World{};
    }

    void Script(const std::string& steps) {
        std::string error;
        ASSERT_TRUE(sim::Session().script.Parse("{\"steps\": [" + steps + "]}", error)) << error;
    }
    ProError Select(ProSelection** picks, int* count, int max = -1) {
        return sim::ProSelect("prt_or_asm", max, nullptr, nullptr, nullptr, nullptr, picks, count);
    }
    ProMdl Car() { return sim::ToHandle(sim::HostWorld().models[0]); }
};

TEST_F(SelectionFunctions, PicksAreComponentPathsOfTheCurrentModel) {
    Script(R"({"select": [[], [3], [3, 7]]})");
    ProSelection* picks = nullptr;
    int count = 0;
    ASSERT_EQ(Select(&picks, &count), PRO_TK_NO_ERROR);
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
    ProSelection* picks = nullptr;
    int count = 0;
    ASSERT_EQ(Select(&picks, &count), PRO_TK_NO_ERROR);
    ProSelection old = picks[0];
    EXPECT_EQ(Select(&picks, &count), PRO_TK_USER_ABORT);
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
        ProSelection* picks = nullptr;
        int count = 0;
        EXPECT_EQ(Select(&picks, &count, bad.max), PRO_TK_USER_ABORT);
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
