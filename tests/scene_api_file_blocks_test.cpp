// Groups, frames, matrix definitions, the top-level blocks, output blocks, objects, lights, load
// blocks, geometry blocks and definitions, accelerators, instances, animations and placements of
// the scene file writer.
#include "scene/scene_api_file.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/scene_test_file.h"

namespace {

using SceneFileBlocks = SceneWriterTest;
using SceneFileGeometry = SceneWriterTest;

} // namespace

TEST_F(SceneFileBlocks, GroupAndOptionsTakeBareParametersAndEndInStyleZeroAtTheTop)
{
    EXPECT_TRUE(writer.BeginGroup("model", true));
    EXPECT_EQ(State().indent, 2);
    Param("a", 1);
    writer.EndGroup();
    Param("b", 2);
    EXPECT_EQ(file.Take(), "\ngroup \"model\" {\n  a 1\n}\n\"b\" 2,\n");
    EXPECT_EQ(State().indent, 0);
    EXPECT_TRUE(writer.BeginOptions());
    EXPECT_EQ(State().openBlock, TopBlock::Options);
    Param("a", 1);
    writer.EndOptions();
    EXPECT_EQ(file.Take(), "\noptions {\n  a 1\n}\n");
    EXPECT_EQ(State().openBlock, TopBlock::None);
    EXPECT_EQ(State().paramStyle, 0);
}

TEST_F(SceneFileBlocks, EveryIndentedPieceOfAGroupHeadBringsItsIndentation)
{
    writer.BeginGroup("outer", true);
    file.Take();
    writer.BeginGroup("a", false);
    EXPECT_EQ(file.Take(), "\n  #define   group \"a\" {\n");
    writer.EndGroup();
    writer.EndGroup();
    EXPECT_EQ(file.Take(), "  }\n}\n");
    writer.BeginGroup("a\"b", true);
    EXPECT_EQ(file.Take(), "\ngroup xX612262 {\n");
}

TEST_F(SceneFileBlocks, FramesMatrixDefinitionsLightsAndLoadBlocksKeepTheStyle)
{
    EXPECT_TRUE(writer.BeginFrame(12));
    Param("a", 1);
    EXPECT_TRUE(writer.BeginMatrixDefinition("m"));
    Param("b", 2);
    writer.EndMatrixDefinition();
    writer.EndFrame();
    EXPECT_EQ(file.Take(),
              "frame 12 {\n  \"a\" 1,\n  #define matrix \"m\" {\n    \"b\" 2,\n  }\n}\n");
    EXPECT_TRUE(writer.BeginLight("sun", 77));
    Param("a", 1);
    writer.EndLight();
    EXPECT_TRUE(writer.ModifyLight("sun"));
    writer.EndLight();
    EXPECT_TRUE(writer.BeginLoad("trv_import.dll"));
    writer.EndLoad();
    EXPECT_EQ(file.Take(), "\nlight \"sun\" {\n  \"a\" 1,\n}\n#modify light \"sun\" {\n}\n"
                           "load \"trv_import.dll\" {\n}\n");
    EXPECT_EQ(State().indent, 0);
}

TEST_F(SceneFileBlocks, CameraNamedOrNotAndImageIndentBothTheirLines)
{
    EXPECT_TRUE(writer.BeginCamera(nullptr));
    writer.EndCamera();
    EXPECT_TRUE(writer.BeginCamera("view \xE9"));
    writer.EndCamera();
    EXPECT_TRUE(writer.BeginImage());
    EXPECT_EQ(State().openBlock, TopBlock::Image);
    writer.EndImage();
    EXPECT_EQ(file.Take(),
              "\ncamera {\n}\n\ncamera xX7669657720e9 {\n}\n\nimage {\n}\n");
    // Inside a group both lines of the head are indented.
    EnterGroup();
    writer.BeginCamera("c");
    EXPECT_EQ(file.Take(), "  \n  camera \"c\" {\n");
    EXPECT_EQ(State().indent, 4);
}

TEST_F(SceneFileBlocks, TopBlocksRefuseWhileAnyTopBlockIsOpen)
{
    const auto refusesEverything = [this] {
        const std::string before = file.All();
        const SceneWriterState& s = State();
        const std::int32_t indent = s.indent;
        const TopBlock block = s.openBlock;
        EXPECT_FALSE(writer.BeginOptions());
        EXPECT_FALSE(writer.BeginCamera(nullptr));
        EXPECT_FALSE(writer.BeginCamera("c"));
        EXPECT_FALSE(writer.BeginImage());
        EXPECT_EQ(file.All(), before);
        EXPECT_EQ(s.indent, indent);
        EXPECT_EQ(s.openBlock, block);
    };
    writer.BeginOptions();
    refusesEverything();
    writer.EndOptions();
    writer.BeginCamera(nullptr);
    refusesEverything();
    writer.EndCamera();
    writer.BeginImage();
    refusesEverything();
    writer.EndImage();
    writer.BeginObject("o", true);
    refusesEverything();
    writer.EndObject();
    EXPECT_TRUE(writer.BeginCamera(nullptr));
    // An object opens inside a camera all the same, and takes its place.
    writer.BeginCamera(nullptr);
    EXPECT_TRUE(writer.BeginObject("o", true));
    EXPECT_EQ(State().openBlock, TopBlock::Object);
    writer.EndObject();
    EXPECT_EQ(State().openBlock, TopBlock::None);
}

TEST_F(SceneFileBlocks, EndOfAnotherTopBlockClosesNothingButForgetsTheOpenOne)
{
    writer.BeginCamera(nullptr);
    file.Take();
    writer.EndOptions();
    EXPECT_EQ(file.Take(), "");
    EXPECT_EQ(State().openBlock, TopBlock::None);
    EXPECT_EQ(State().paramStyle, 0);
    EXPECT_EQ(State().indent, 2);
    writer.EndCamera();
    EXPECT_EQ(file.Take(), "");
    EXPECT_EQ(State().indent, 2);
}

TEST_F(SceneFileBlocks, ModifyCameraKeepsItsHeadEvenWhenRefused)
{
    EXPECT_TRUE(writer.ModifyCamera("c"));
    EXPECT_EQ(file.Take(), "#modify \ncamera \"c\" {\n");
    EXPECT_FALSE(writer.ModifyCamera("d"));
    EXPECT_EQ(file.Take(), "  #modify ");
}

TEST_F(SceneFileBlocks, OutputBlockSetsItsStyleWithoutSavingIt)
{
    EnterGroup();
    EXPECT_TRUE(writer.BeginOutput("a", "b", "c\r"));
    Param("x", 1);
    writer.EndOutput();
    EXPECT_EQ(file.Take(), "  output \"a\" \"b\" xX630d {\n    \"x\" 1,\n  }\n");
    EXPECT_EQ(State().paramStyle, 1);
    writer.BeginCamera(nullptr);
    writer.BeginOutput("a", "b", "c");
    writer.EndOutput();
    EXPECT_EQ(State().paramStyle, 1); // not the camera's style restored, but 1 in any case
}

TEST_F(SceneFileBlocks, ObjectFlagLinesComeInTheirFixedOrderAndOnlyWhenCleared)
{
    writer.SetObjectFlag(0xFFFFFFFF, false); // the next object starts afresh
    EXPECT_TRUE(writer.BeginObject("o", true));
    EXPECT_EQ(State().objectFlags, 0xF00u);
    Param("a", 1);
    writer.EndObject();
    EXPECT_EQ(file.Take(), "\nobject \"o\" {\n  a 1\n}\n");
    writer.BeginObject("d", false);
    writer.EndObject();
    EXPECT_EQ(file.Take(), "\n#define object \"d\" {\n}\n");
    EXPECT_EQ(State().paramStyle, 0);
    writer.BeginObject("o", true);
    writer.SetObjectFlag(0x400, false);
    writer.EndObject();
    EXPECT_EQ(file.Take(), "\nobject \"o\" {\n  ambient trace off\n}\n");

    writer.BeginObject("o", true);
    writer.SetObjectFlag(0xF00, false);
    writer.SetObjectFlag(0x4000, true);
    writer.EndObject();
    EXPECT_EQ(file.Take(),
              "\nobject \"o\" {\n  caustics store off\n  caustics trace off\n"
              "  ambient store off\n  ambient trace off\n  invisible on\n}\n");
}

TEST_F(SceneFileBlocks, ModifiedObjectKeepsTheFlagsLeftBefore)
{
    writer.ModifyObject("o"); // before any object: no flag lines
    writer.EndObject();
    EXPECT_EQ(file.Take(), "#modify object \"o\" {\n}\n");
    writer.BeginObject("o", true);
    writer.SetObjectFlag(0x200, false);
    writer.EndObject();
    file.Take();
    EXPECT_TRUE(writer.ModifyObject("o"));
    EXPECT_EQ(State().openBlock, TopBlock::Object);
    Param("a", 1);
    writer.EndObject();
    EXPECT_EQ(file.Take(), "#modify object \"o\" {\n  a 1\n  caustics store off\n}\n");
}

TEST_F(SceneFileBlocks, ANameLongerThanTheWorkingBufferIsCut)
{
    const std::string name(WorkingBufferSize + 10, 'g');
    writer.BeginGroup(name.c_str(), true);
    EXPECT_EQ(file.Take(), "\ngroup \"" + name.substr(0, MaxFormattedLength - 1) + " {\n");
}

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

TEST_F(SceneFileGeometry, AcceleratorStartsWithAnIndentedLineBreakAndAnInstanceIsOneLine)
{
    EnterGroup();
    EXPECT_TRUE(writer.BeginAccel("grid"));
    Param("a", 1);
    writer.EndAccel();
    Param("b", 2);
    EXPECT_EQ(file.Take(), "  \n  accel \"grid\" {\n    \"a\" 1,\n  }\n  b 2\n");
    EXPECT_TRUE(writer.PlaceInstance("part\n1"));
    EXPECT_EQ(file.Take(), "  instance xX706172740a31\n");
}

TEST_F(SceneFileGeometry, AnimationBlankBetweenItsNamesCarriesTheIndentation)
{
    EXPECT_TRUE(writer.BeginAnimation("matrix", "anim"));
    Param("a", 1);
    EXPECT_EQ(file.Take(), "animation \"matrix\" \"anim\" {\n  \"a\" 1,\n");
    EnterGroup();
    writer.BeginAnimation("matrix", "anim");
    EXPECT_EQ(file.Take(), "    animation \"matrix\"     \"anim\" {\n");
    writer.EndAnimation();
    writer.EndGroup();
    writer.EndAnimation();
    EXPECT_EQ(file.Take(), "    }\n  }\n}\n");
    EXPECT_EQ(writer.State().paramStyle, 0);
}

TEST_F(SceneFileGeometry, TransformRoundsToFloatsWhereScaleRotateAndTranslateDoNot)
{
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.1, 1e-46, -2.5, 1};
    writer.Transform(m, false);
    EXPECT_EQ(file.Take(), "transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 0 -2.5 1\n");
    EnterGroup();
    writer.Transform(m, true);
    EXPECT_EQ(file.Take(), "  set transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 0 -2.5 1\n");
    const double x = 1.5, y = -2, z = 1e-7;
    writer.Scale(&x, &y, &z);
    writer.Rotate(&x, &y, &z);
    writer.Translate(&x, &y, &z);
    EXPECT_EQ(file.Take(),
              "  scale 1.5 -2 1e-07\n  rotate 1.5 -2 1e-07\n  translate 1.5 -2 1e-07\n");
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

TEST_F(SceneFileGeometry, MotionWritesItsMatrixTwoDeeperAndClosesAtTheOldIndentation)
{
    double m[16] = {};
    m[0] = m[5] = m[10] = m[15] = 1;
    m[12] = 1e-46;
    EnterGroup();
    writer.Motion(m, 0.5f);
    EXPECT_EQ(file.Take(), "  motion 0.5 {\n"
                           "    transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1    \n"
                           "  }\n");
    EXPECT_EQ(writer.State().indent, 2);
}
