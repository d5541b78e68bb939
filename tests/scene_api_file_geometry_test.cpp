// Geometry blocks and definitions, accelerators, instances, animations and placements.
#include "scene/scene_api_file.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/scene_test_file.h"

namespace {

class SceneFileGeometry : public ::testing::Test {
protected:
    void Param(const char* name, std::int32_t value)
    {
        writer.SetParameter(name, SceneValueType::Int, &value);
    }

    SceneTestFile file;
    trvScene_api_file writer{file.get(), false};
};

} // namespace

TEST_F(SceneFileGeometry, GeometryBlockQuotesItsParametersAndRestoresTheStyle)
{
    writer.BeginObject("o", true);
    file.Take();
    EXPECT_TRUE(writer.BeginGeometry("triangles"));
    Param("a", 1);
    writer.EndGeometry();
    Param("b", 2);
    EXPECT_EQ(file.Take(), "  geometry \"triangles\" {\n    \"a\" 1,\n  }\n  b 2\n");
    EXPECT_EQ(writer.State().indent, 2);
}

TEST_F(SceneFileGeometry, GeometryInsideADefinitionOpensNothing)
{
    EXPECT_TRUE(writer.BeginGeometryDefinition("mesh", "triangles"));
    EXPECT_EQ(writer.State().inGeometryDefinition, 1);
    EXPECT_TRUE(writer.BeginGeometry("triangles"));
    Param("a", 1);
    writer.EndGeometry();
    EXPECT_EQ(file.Take(), "#define geometry \"mesh\" \"triangles\" {\n  \"a\" 1,\n}\n");
    EXPECT_EQ(writer.State().inGeometryDefinition, 0);
    EXPECT_EQ(writer.State().indent, 0);
    EXPECT_EQ(writer.State().savedStyles.count, 0);
    writer.BeginGeometry("nurbs"); // after the definition a geometry block opens again
    EXPECT_EQ(file.Take(), "geometry \"nurbs\" {\n");
}

TEST_F(SceneFileGeometry, AcceleratorStartsWithAnIndentedLineBreak)
{
    writer.BeginGroup("g", true);
    file.Take();
    EXPECT_TRUE(writer.BeginAccel("grid"));
    Param("a", 1);
    writer.EndAccel();
    Param("b", 2);
    EXPECT_EQ(file.Take(), "  \n  accel \"grid\" {\n    \"a\" 1,\n  }\n  b 2\n");
}

TEST_F(SceneFileGeometry, InstanceLine)
{
    writer.BeginGroup("g", true);
    file.Take();
    EXPECT_TRUE(writer.PlaceInstance("part\n1"));
    EXPECT_EQ(file.Take(), "  instance xX706172740a31\n");
}

TEST_F(SceneFileGeometry, AnimationBlankBetweenItsNamesCarriesTheIndentation)
{
    EXPECT_TRUE(writer.BeginAnimation("matrix", "anim"));
    Param("a", 1);
    EXPECT_EQ(file.Take(), "animation \"matrix\" \"anim\" {\n  \"a\" 1,\n");
    writer.BeginGroup("g", true);
    file.Take();
    writer.BeginAnimation("matrix", "anim");
    EXPECT_EQ(file.Take(), "    animation \"matrix\"     \"anim\" {\n");
    writer.EndAnimation();
    writer.EndGroup();
    writer.EndAnimation();
    EXPECT_EQ(file.Take(), "    }\n  }\n}\n");
    EXPECT_EQ(writer.State().paramStyle, 0);
}

TEST_F(SceneFileGeometry, TransformIsRoundedToSinglePrecision)
{
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.1, 1e-46, -2.5, 1};
    writer.Transform(m, false);
    EXPECT_EQ(file.Take(), "transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 0 -2.5 1\n");
    writer.BeginGroup("g", true);
    file.Take();
    writer.Transform(m, true);
    EXPECT_EQ(file.Take(), "  set transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 0 -2.5 1\n");
}

TEST_F(SceneFileGeometry, NanInAPlacementIsWrittenWithoutItsSign)
{
    const double nan = -std::numeric_limits<double>::quiet_NaN();
    double m[16] = {};
    m[0] = nan;
    writer.Transform(m, false);
    writer.Translate(&nan, &nan, &m[1]);
    writer.ReportProgress("p", static_cast<float>(nan));
    EXPECT_EQ(file.Take(), "transform nan 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\ntranslate nan nan 0\n"
                           "progress \"p\" nan\n\n");
}

TEST_F(SceneFileGeometry, ScaleRotateAndTranslateTakeThreeDoubles)
{
    const double x = 1.5, y = -2, z = 1e-7;
    writer.Scale(&x, &y, &z);
    writer.Rotate(&x, &y, &z);
    writer.Translate(&x, &y, &z);
    EXPECT_EQ(file.Take(), "scale 1.5 -2 1e-07\nrotate 1.5 -2 1e-07\ntranslate 1.5 -2 1e-07\n");
}

TEST_F(SceneFileGeometry, MotionWritesItsMatrixTwoDeeperAndClosesAtTheOldIndentation)
{
    double m[16] = {};
    m[0] = m[5] = m[10] = m[15] = 1;
    m[12] = 1e-46;
    writer.BeginGroup("g", true);
    file.Take();
    writer.Motion(m, 0.5f);
    EXPECT_EQ(file.Take(), "  motion 0.5 {\n"
                           "    transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1    \n"
                           "  }\n");
    EXPECT_EQ(writer.State().indent, 2);
}
