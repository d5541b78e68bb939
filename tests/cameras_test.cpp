// Cameras of the current view and of the saved views, against the simulated host: the standard
// setup, transforms worked out by hand (the view matrix inverted, its pan dropped), the order and
// the names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/cameras.h"
#include "tests/sim_export_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class Cameras : public SimExportTest {
protected:
    void ExportCameras() {
        ProMdl model = nullptr;
        ProMdlCurrentGet(&model);
        App().ExportCameras(model);
    }
};

// The calls of one camera after its environment map, as every camera has them.
Lines Camera(const std::string& name, const std::string& transform) {
    return {"BeginCamera(" + name + ")",
            "SetParameter(reflection map, shader)",
            "SetParameter(position, 0 0 2000)",
            "SetParameter(direction, 0 0 -1)",
            "SetParameter(up, 0 1 0)",
            "SetParameter(fov, 55)",
            "Transform(" + transform + ")",
            "SetParameter(projection, orthographic)",
            "EndCamera()"};
}

// Everything from the first camera head on, without the environment maps' shaders.
Lines CameraCalls(const RecordingScene& scene) {
    Lines calls;
    bool inShader = false;
    for (const std::string& call : scene.Calls()) {
        if (call.rfind("BeginShader", 0) == 0) inShader = true;
        if (!inShader) calls.push_back(call);
        if (call == "EndShader()") inShader = false;
    }
    return calls;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(Cameras, TheCurrentViewFirstThenEachSavedViewInTheHostsOrder) {
    // The current view turns a quarter about y; FRONT turns about x; PANNED is FRONT moved;
    // SCALED scales by 2.
    ASSERT_TRUE(Start(R"({"current": "M", "models": [{"name": "M", "type": "part",
        "view": [[0, 0, 1, 0], [0, 1, 0, 0], [-1, 0, 0, 0], [5, 6, 7, 1]],
        "views": [
          {"name": "FRONT", "matrix": [[1, 0, 0, 0], [0, 0, -1, 0], [0, 1, 0, 0], [0, 0, 0, 1]]},
          {"name": "PANNED", "matrix": [[1, 0, 0, 0], [0, 0, -1, 0], [0, 1, 0, 0], [30, -40, 5, 1]]},
          {"name": "SCALED", "matrix": [[2, 0, 0, 0], [0, 2, 0, 0], [0, 0, 2, 0], [10, 10, 10, 1]]}
        ]}]})"));
    ExportCameras();
    const std::string front = "1 0 0 0 0 0 1 0 0 -1 0 0 0 0 0 1";
    EXPECT_EQ(CameraCalls(scene),
              Join({Camera("Current Creo camera", "0 0 -1 0 0 1 0 0 1 0 0 0 0 0 0 1"),
                    Camera("FRONT", front), Camera("PANNED", front),
                    Camera("SCALED", "0.5 0 0 0 0 0.5 0 0 0 0 0.5 0 0 0 0 1")}));
    // Each camera carries its own environment map, captured before its head.
    EXPECT_EQ(scene.CallsStartingWith({"BeginShader((null), trv_envmap)"}).size(), 4u);
    EXPECT_EQ(HostProblems(), "[]");
}

TEST_F(Cameras, AModelWithoutSavedViewsGetsOneCamera) {
    ASSERT_TRUE(Start(R"({"current": "M", "models": [{"name": "M", "type": "part"}]})"));
    ExportCameras();
    EXPECT_EQ(CameraCalls(scene),
              Camera("Current Creo camera", "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1"));
}

TEST_F(Cameras, ViewNamesAreConvertedToTheAnsiCodePage) {
    ASSERT_TRUE(Start(R"({"current": "M", "models": [{"name": "M", "type": "part",
        "views": [{"name": "VUE_\u00c9"}, {"name": "\u4e2d_VIEW"}]}]})"));
    ExportCameras();
    const Lines heads = scene.CallsStartingWith({"BeginCamera"});
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[1], "BeginCamera(VUE_\xC9)");
    EXPECT_EQ(heads[2], "BeginCamera(?_VIEW)");  // a character the code page lacks
}

TEST(CameraTransformOfView, AViewWithoutAnInverseGivesTheIdentity) {
    const ProMatrix flat = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {4, 5, 6, 1}};
    ProMatrix camera = {};
    EXPECT_FALSE(CameraTransformOfView(flat, camera));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(camera[r][c], r == c ? 1.0 : 0.0);
    }
}

}  // namespace
