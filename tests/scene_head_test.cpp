// The head of each road's scene, byte for byte as the scene file writer gives it: header lines,
// load blocks and import options, against the heads worked out by hand in
// tests/expected_scene_heads.h.
#include <gtest/gtest.h>

#include <string>

#include "plugin/scene_head.h"
#include "scene/scene_api_file.h"
#include "tests/expected_scene_heads.h"
#include "tests/scene_test_file.h"

namespace {

std::string Head(ExportRoad road, bool includeNURBS, int upAxis, float metreScale) {
    SceneTestFile file;
    trvScene_api_file writer(file.get(), true);
    WriteSceneHead(writer, road, includeNURBS, upAxis, metreScale);
    return file.All();
}

TEST(SceneHead, ExportWithNurbsOfAModelInMillimetres) {
    EXPECT_EQ(Head(ExportRoad::Export, true, 1, 1000.0f), ExpectedExportHead("7", "1", "1000"));
}

TEST(SceneHead, ExportWithoutNurbsStillLoadsTheNurbsGeometry) {
    const std::string head = Head(ExportRoad::Export, false, 5, 39.370079f);
    const std::string expected = ExpectedExportHead("5", "5", "39.3701");
    const std::string start = expected.substr(0, expected.find("load \"trvrtopt.so\""));
    EXPECT_EQ(head.substr(0, start.size()), start);
    EXPECT_NE(head.find("  \"import_up_vector\" 5,\n  \"meter_scale\" 39.3701,\n"),
              std::string::npos)
        << head;
}

TEST(SceneHead, RenderSendsNoCameraOptionAndNoIdentifierLine) {
    EXPECT_EQ(Head(ExportRoad::Render, true, 2, 1.0f), ExpectedRenderHead("7", "2", "1"));
    EXPECT_EQ(Head(ExportRoad::Render, false, 2, 1.0f), ExpectedRenderHead("4", "2", "1"));
}

TEST(SceneHead, UpdateAlwaysClaimsNurbsAndKeepsTheRenderersCamera) {
    const std::string expected = ExpectedUpdateHead("0", "100");
    EXPECT_EQ(Head(ExportRoad::Update, true, 0, 100.0f), expected);
    EXPECT_EQ(Head(ExportRoad::Update, false, 0, 100.0f), expected);
}

}  // namespace
