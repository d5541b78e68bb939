// The head of each road's scene, byte for byte as the scene file writer gives it: header lines,
// load blocks and import options. The expected texts are worked out from the writer's rules:
// raw lines as they are, "load" blocks with their options in the writer's starting parameter
// style (quoted name, value, comma) two blanks deep.
#include <gtest/gtest.h>

#include <string>

#include "plugin/scene_head.h"
#include "scene/scene_api_file.h"
#include "tests/scene_test_file.h"

namespace {

std::string Head(ExportRoad road, bool includeNURBS, int upAxis, float metreScale) {
    SceneTestFile file;
    trvScene_api_file writer(file.get(), true);
    WriteSceneHead(writer, road, includeNURBS, upAxis, metreScale);
    return file.All();
}

TEST(SceneHead, ExportWithNurbsOfAModelInMillimetres) {
    EXPECT_EQ(Head(ExportRoad::Export, true, 1, 1000.0f),
              "//---tarvex:dal:7---\n"
              "//---import:dal:1---\n"
              "//---id:1---\n"
              "// This is a Vistrel scene file\n"
              "\n"
              "load \"trvgeometry_nurbs.so\" {\n"
              "}\n"
              "load \"trvrtopt.so\" {\n"
              "  \"import_mode\" on,\n"
              "  \"import_merge_groups\" off,\n"
              "  \"import_merge_objects\" off,\n"
              "  \"import_keep_original\" on,\n"
              "  \"import_adjust_environment\" on,\n"
              "  \"import_adjust_camera\" on,\n"
              "  \"import_up_vector\" 1,\n"
              "  \"meter_scale\" 1000,\n"
              "  \"ext\" off,\n"
              "}\n");
}

TEST(SceneHead, ExportWithoutNurbsStillLoadsTheNurbsGeometry) {
    const std::string head = Head(ExportRoad::Export, false, 5, 39.370079f);
    const std::string start =
        "//---tarvex:dal:5---\n"
        "//---import:dal:1---\n"
        "//---id:1---\n"
        "// This is a Vistrel scene file\n"
        "\n"
        "load \"trvgeometry_nurbs.so\" {\n"
        "}\n";
    EXPECT_EQ(head.substr(0, start.size()), start);
    EXPECT_NE(head.find("  \"import_up_vector\" 5,\n  \"meter_scale\" 39.3701,\n"), std::string::npos)
        << head;
}

TEST(SceneHead, RenderSendsNoCameraOptionAndNoIdentifierLine) {
    const char* options =
        "load \"trvrtopt.so\" {\n"
        "  \"import_mode\" on,\n"
        "  \"import_merge_groups\" off,\n"
        "  \"import_merge_objects\" off,\n"
        "  \"import_adjust_environment\" on,\n"
        "  \"import_keep_original\" on,\n"
        "  \"import_up_vector\" 2,\n"
        "  \"meter_scale\" 1,\n"
        "  \"ext\" off,\n"
        "}\n";
    EXPECT_EQ(Head(ExportRoad::Render, true, 2, 1.0f),
              std::string("//---tarvex:dal:7---\n"
                          "//---import:dal:1---\n"
                          "// This is a Vistrel scene file\n"
                          "\n") + options);
    EXPECT_EQ(Head(ExportRoad::Render, false, 2, 1.0f),
              std::string("//---tarvex:dal:4---\n"
                          "//---import:dal:1---\n"
                          "// This is a Vistrel scene file\n"
                          "\n") + options);
}

TEST(SceneHead, UpdateAlwaysClaimsNurbsAndKeepsTheRenderersCamera) {
    const std::string expected =
        "//---tarvex:dal:7---\n"
        "//---import:dal:1---\n"
        "// This is a Vistrel scene file\n"
        "\n"
        "load \"trvrtopt.so\" {\n"
        "  \"import_mode\" on,\n"
        "  \"import_merge_groups\" off,\n"
        "  \"import_merge_objects\" off,\n"
        "  \"import_adjust_environment\" on,\n"
        "  \"import_adjust_camera\" off,\n"
        "  \"import_keep_original\" on,\n"
        "  \"import_up_vector\" 0,\n"
        "  \"meter_scale\" 100,\n"
        "  \"ext\" off,\n"
        "}\n";
    EXPECT_EQ(Head(ExportRoad::Update, true, 0, 100.0f), expected);
    EXPECT_EQ(Head(ExportRoad::Update, false, 0, 100.0f), expected);
}

}  // namespace
