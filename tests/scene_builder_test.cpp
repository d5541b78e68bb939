// The scene builder over the scene file writer (the exact text of a camera with its environment
// map, in a group and not), and the end of a live session.
#include "scene/scene_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "link/live_link_loader.h"
#include "scene/scene_api_file.h"
#include "tests/scene_test_file.h"
#include "tests/scoped_registry.h"
#include "tests/test_paths.h"

namespace {

// A builder writing through a file writer into a scratch file, which the writer closes.
class FileBuilder {
public:
    FileBuilder() { builder.api = new trvScene_api_file(file.get(), true); }
    ~FileBuilder() { builder.api->DeletingDestructor(kDeleteFreesMemory); }

    std::string Text() const { return file.All(); }

    SceneTestFile file;
    SceneBuilder builder;
};

TEST(SceneBuilder, CameraCarriesTheEnvironmentMapCapturedBeforeItAndIndentsWithAGroup)
{
    FileBuilder out;
    out.builder.BeginCameraWithEnvironment("front");
    out.builder.SetCameraPosition(1.0f, 2.5f, -3.0f);
    out.builder.SetCameraDirection(0.0f, 0.0f, -1.0f);
    out.builder.SetCameraUp(0.0f, 1.0f, 0.0f);
    out.builder.SetCameraFov(55.0f);
    out.builder.FinishCamera();
    out.builder.OpenGroup("g");
    out.builder.BeginCameraWithEnvironment("c");
    out.builder.FinishCamera();
    out.builder.CloseGroup();
    // Nothing of the shader before the camera: it stands inline as the camera's reflection map,
    // indented two blanks, its own parameters quoted and two deeper. Inside a group the map's
    // head moves with the camera, but its parameters and its end do not.
    EXPECT_EQ(out.Text(),
              "\ncamera \"front\" {\n"
              "  reflection map   \"trv_envmap\" {\n"
              "    \"texture\" \"startup.hdr\",\n"
              "    \"format\" 3,\n"
              "    \"radius\" 25,\n"
              "    \"transform\" 0 0 -1 0 1 0 0 0 0 1 0 0 0 0 0 1,\n"
              "  }\n"
              "  position 1 2.5 -3\n"
              "  direction 0 0 -1\n"
              "  up 0 1 0\n"
              "  fov 55\n"
              "}\n"
              "\ngroup \"g\" {\n"
              "  \n"
              "  camera \"c\" {\n"
              "    reflection map   \"trv_envmap\" {\n"
              "    \"texture\" \"startup.hdr\",\n"
              "    \"format\" 3,\n"
              "    \"radius\" 25,\n"
              "    \"transform\" 0 0 -1 0 1 0 0 0 0 1 0 0 0 0 0 1,\n"
              "  }\n"
              "  }\n"
              "}\n");
}

// ---- Closing a live session ---------------------------------------------------------------

class SceneBuilderSession : public testing::Test {
protected:
    SceneBuilderSession()
        : registry_("[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n\"VistrelActivePath\"=\"" +
                    ScopedRegistry::Escape(
                        (ExecutableFolder() / "live_link_fakes" / "tag1").u8string()) +
                    "\"\r\n")
    {
    }

    ~SceneBuilderSession() override { UnloadLiveLinkLibrary(); }

    static std::string Describe() { return CreateInstanceLister()->GetInstancesText(); }

    ScopedRegistry registry_;
};

TEST_F(SceneBuilderSession, WithoutSceneOutputNothingHappens)
{
    ASSERT_NE(CreateLiveSceneApi(), nullptr);
    SceneBuilder builder;
    builder.CloseSession();
    // Still the same factory: the library was not unloaded.
    EXPECT_EQ(Describe(), "tag=1 initialized=1 scenes=1");
}

TEST_F(SceneBuilderSession, ClosingUnloadsTheLibraryAndKeepsThePointer)
{
    SceneBuilder builder;
    builder.api = CreateLiveSceneApi();
    ASSERT_NE(builder.api, nullptr);
    trvScene_api* live = builder.api;
    builder.CloseSession();
    EXPECT_EQ(builder.api, live);
    // A fresh factory: the library was unloaded and loads again on the next use.
    EXPECT_EQ(Describe(), "tag=1 initialized=1 scenes=0");
}

}  // namespace
