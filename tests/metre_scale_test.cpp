// Units per metre of the model's length unit: the table of unit names, and the model's unit as
// the host gives it.
#include <gtest/gtest.h>

#include "export/metre_scale.h"
#include "tests/sim_export_fixture.h"

namespace {

TEST(MetreScaleOfUnit, EachKnownUnitGivesItsUnitsPerMetreAnyOtherNameOne) {
    EXPECT_EQ(MetreScaleOfUnit(u"cm"), 100.0f);
    EXPECT_EQ(MetreScaleOfUnit(u"ft"), static_cast<float>(1 / 0.3048));
    EXPECT_EQ(MetreScaleOfUnit(u"in"), static_cast<float>(1 / 0.0254));
    EXPECT_EQ(MetreScaleOfUnit(u"mm"), 1000.0f);
    EXPECT_EQ(MetreScaleOfUnit(u"mil"), static_cast<float>(1 / 0.0000254));
    EXPECT_EQ(MetreScaleOfUnit(u"micron"), 1000000.0f);
    EXPECT_EQ(MetreScaleOfUnit(u"m"), 1.0f);
    // Any other name gives the factor of metres: case counts.
    EXPECT_EQ(MetreScaleOfUnit(u"MM"), 1.0f);  // case counts
    EXPECT_EQ(MetreScaleOfUnit(u"Inch"), 1.0f);
    EXPECT_EQ(MetreScaleOfUnit(u"mm "), 1.0f);
    EXPECT_EQ(MetreScaleOfUnit(u""), 1.0f);
}

class MetreScaleOfModel : public SimExportTest {
protected:
    float ScaleOf(const std::string& modelAttributes) {
        if (!Start(R"({"current": "M", "models": [{"name": "M", "type": "part", )" +
                   modelAttributes + "}]}")) {
            return -1.0f;
        }
        ProMdl model = nullptr;
        ProMdlCurrentGet(&model);
        return App().MetreScaleOfModel(model);
    }
};

TEST_F(MetreScaleOfModel, TheModelsLengthUnitDecidesAndWithoutOneItIsMetres) {
    EXPECT_EQ(ScaleOf(R"("units": "in")"), 39.370079f);
    EXPECT_EQ(ScaleOf(R"("units": "mm")"), 1000.0f);
    EXPECT_EQ(ScaleOf(R"("units": "m")"), 1.0f);
    EXPECT_EQ(ScaleOf(R"("units": "Mm")"), 1.0f);
    // A unit system the host cannot give counts as metres.
    EXPECT_EQ(ScaleOf(R"("units": "mm", "faults": ["no_units"])"), 1.0f);
    EXPECT_EQ(HostProblems(), "[]");
}

}  // namespace
