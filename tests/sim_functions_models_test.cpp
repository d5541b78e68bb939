#include <gtest/gtest.h>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "sim_test_world.h"

namespace sim {
namespace {

const char* kModels = R"({
  "current": "ASM", "mode": 5,
  "models": [
    {"name": "ASM", "type": "assembly", "units": "in", "verstamp": 4,
     "view": [[0, 1, 0, 0], [-1, 0, 0, 0], [0, 0, 1, 0], [7, 8, 9, 1]],
     "views": [{"name": "FRONT"}, {"name": "BACK", "matrix": {"translate": [1, 2, 3]}}],
     "features": [{"id": 2, "model": "A_PART_WITH_A_NAME_LONGER_THAN_THIRTY_ONE"}]},
    {"name": "A_PART_WITH_A_NAME_LONGER_THAN_THIRTY_ONE", "type": "part", "verstamp": 4,
     "faults": ["no_outline", "no_verstamp", "no_units"],
     "shapes": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}}]},
    {"name": "EMPTY", "type": "part"}
  ]
})";

class ModelFunctions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseWorld(kModels)); }
};

TEST_F(ModelFunctions, CurrentModelModeNameAndType) {
    ProMdl model = nullptr;
    ASSERT_EQ(sim::ProMdlCurrentGet(&model), PRO_TK_NO_ERROR);
    EXPECT_EQ(model, Handle("ASM"));
    ProMode mode = 0;
    EXPECT_EQ(sim::ProModeCurrentGet(&mode), PRO_TK_NO_ERROR);
    EXPECT_EQ(mode, 5);
    ProMdlType type = 0;
    EXPECT_EQ(sim::ProMdlTypeGet(model, &type), PRO_TK_NO_ERROR);
    EXPECT_EQ(type, PRO_MDL_ASSEMBLY);
    ProName name;
    EXPECT_EQ(sim::ProMdlNameGet(model, name), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(name), u"ASM");

    SetCurrentModel(HostWorld(), "", 0);
    EXPECT_NE(sim::ProMdlCurrentGet(&model), PRO_TK_NO_ERROR);
}

TEST_F(ModelFunctions, LongNameIsCutToTheBuffer) {
    ProName name;
    for (ProWchar& c : name) c = u'#';
    ASSERT_EQ(sim::ProMdlNameGet(Handle("A_PART_WITH_A_NAME_LONGER_THAN_THIRTY_ONE"), name),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(name), u"A_PART_WITH_A_NAME_LONGER_THAN_");  // 31 characters
}

TEST_F(ModelFunctions, StrayHandleIsRefusedAndNoted) {
    int somewhere = 0;
    ProName name;
    EXPECT_EQ(sim::ProMdlNameGet(reinterpret_cast<ProMdl>(&somewhere), name), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(ProblemCount(), 1u);
}

TEST_F(ModelFunctions, VersionStampsCompareByModelAndVersion) {
    ProWVerstamp first{}, again{}, other{};
    ASSERT_EQ(sim::ProMdlVerstampGet(Handle("ASM"), &first), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProMdlVerstampGet(Handle("ASM"), &again), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::ProVerstampEqual(first, again), PRO_B_TRUE);
    ASSERT_EQ(sim::ProMdlVerstampGet(Handle("EMPTY"), &other), PRO_TK_NO_ERROR);
    other.words[0] = first.words[0];
    EXPECT_EQ(sim::ProVerstampEqual(first, other), PRO_B_FALSE);  // the same version, two models
    BumpVerstamp(HostWorld(), "ASM");
    ASSERT_EQ(sim::ProMdlVerstampGet(Handle("ASM"), &again), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::ProVerstampEqual(first, again), PRO_B_FALSE);
}

// The export's own tests ask for the length unit, the outline of solids and the views that exist.
TEST_F(ModelFunctions, OtherUnitTypesOutlinesOfNothingAndUnknownViewsAreAnswered) {
    ProUnitsystem system{};
    ASSERT_EQ(sim::ProMdlPrincipalunitsystemGet(Handle("ASM"), &system), PRO_TK_NO_ERROR);
    ProUnititem unit{};
    EXPECT_EQ(sim::ProUnitsystemUnitGet(&system, 3, &unit), PRO_TK_E_NOT_FOUND);
    ProOutline outline = {{9, 9, 9}, {9, 9, 9}};
    ASSERT_EQ(sim::ProSolidOutlineGet(Handle("EMPTY"), outline), PRO_TK_NO_ERROR);
    EXPECT_EQ(outline[0][0], 0);
    EXPECT_EQ(outline[1][2], 0);
    ProView view = nullptr;
    EXPECT_EQ(sim::ProViewNameToView(Handle("ASM"), u"SIDE", &view), PRO_TK_E_NOT_FOUND);
}

}  // namespace
}  // namespace sim
