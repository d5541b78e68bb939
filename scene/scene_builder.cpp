#include "scene/scene_builder.h"

#include "link/live_link_loader.h"
#include "scene/scene_api.h"

namespace {

// The renderer's environment map: a spherical HDR image, its format code, its radius, and the
// rotation that turns the image's axes into the scene's.
constexpr char kEnvironmentShaderType[] = "trv_envmap";
constexpr char kEnvironmentTexture[] = "startup.hdr";
constexpr int kEnvironmentFormat = 3;
constexpr float kEnvironmentRadius = 25.0f;
constexpr double kEnvironmentTransform[16] = {
    0, 0, -1, 0,
    1, 0, 0, 0,
    0, 1, 0, 0,
    0, 0, 0, 1,
};

void SetDouble3(trvScene_api* api, const char* name, float x, float y, float z)
{
    const double v[3] = {x, y, z};
    api->SetParameter(name, SceneValueType::Double3, v);
}

}  // namespace

bool SceneBuilder::OpenGroup(const char* name) { return api->BeginGroup(name, true); }

void SceneBuilder::CloseGroup() { api->EndGroup(); }

void SceneBuilder::BeginCameraWithEnvironment(const char* cameraName)
{
    api->BeginShader(nullptr, kEnvironmentShaderType);
    api->SetParameter("texture", SceneValueType::String, kEnvironmentTexture);
    api->SetParameter("format", SceneValueType::Int, &kEnvironmentFormat);
    api->SetParameter("radius", SceneValueType::Float, &kEnvironmentRadius);
    api->SetParameter("transform", SceneValueType::Matrix, kEnvironmentTransform);
    // Taken before the shader closes; the capture leaves it current afterwards as well.
    ShaderBuffer* environment = api->CurrentShaderBuffer();
    api->EndShader(1);
    api->BeginCamera(cameraName);
    api->SetParameter("reflection map", SceneValueType::Shader, &environment);
}

void SceneBuilder::SetCameraPosition(float x, float y, float z) { SetDouble3(api, "position", x, y, z); }

void SceneBuilder::SetCameraDirection(float x, float y, float z) { SetDouble3(api, "direction", x, y, z); }

void SceneBuilder::SetCameraUp(float x, float y, float z) { SetDouble3(api, "up", x, y, z); }

void SceneBuilder::SetCameraFov(float fov) { api->SetParameter("fov", SceneValueType::Float, &fov); }

void SceneBuilder::FinishCamera() { api->EndCamera(); }

void SceneBuilder::CloseSession()
{
    if (api == nullptr) return;
    api->Disconnect();
    UnloadLiveLinkLibrary();
}
