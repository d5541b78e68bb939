#include "export/cameras.h"

#include <string>

#include "export/component_path.h"
#include "platform/win32_wide.h"
#include "plugin/plugin_application.h"
#include "scene/scene_api.h"
#include "hostcall/host_held.h"

namespace {

// The view's name in the ANSI code page, whole. A view name has at most 80 characters, which
// the code page gives in at most 127 bytes unless it is a multi-byte one; then the buffer is
// made as large as the name needs, so the name is never cut.
std::string ViewCameraName(const ProLine name) {
    ProLine terminated = {};
    for (int i = 0; i < PRO_LINE_SIZE - 1 && name[i] != 0; ++i) terminated[i] = name[i];
    const int size = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, Win32Wide(terminated), -1,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, Win32Wide(terminated), -1,
                                            &narrow[0], size, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return narrow;
}

// One camera: the standard setup, the camera transform and the orthographic projection.
void WriteCamera(SceneBuilder& builder, const char* name, const ProMatrix transform) {
    builder.BeginCameraWithEnvironment(name);
    builder.SetCameraPosition(0.0f, 0.0f, 2000.0f);
    builder.SetCameraDirection(0.0f, 0.0f, -1.0f);
    builder.SetCameraUp(0.0f, 1.0f, 0.0f);
    builder.SetCameraFov(55.0f);
    trvScene_api* api = builder.GetSceneApi();
    api->Transform(&transform[0][0], false);
    api->SetParameter("projection", SceneValueType::String, "orthographic");
    builder.FinishCamera();
}

// The camera transform of a saved view. A view the host cannot give, or whose matrix it cannot
// give, keeps its camera with the identity transform: asking the matrix of no view would answer
// the current view's.
void SavedViewTransform(ProMdl model, const ProWchar* name, ProMatrix camera) {
    ProMatrix view = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ProView handle = nullptr;
    if (ProViewNameToView(model, name, &handle) == PRO_TK_NO_ERROR && handle != nullptr) {
        ProViewMatrixGet(model, handle, view);
    }
    CameraTransformOfView(view, camera);
}

}  // namespace

bool CameraTransformOfView(const ProMatrix& view, ProMatrix camera) {
    if (InvertTransform(&view, camera) == 0) {
        InvertTransform(nullptr, camera);
        return false;
    }
    camera[3][0] = 0.0;
    camera[3][1] = 0.0;
    camera[3][2] = 0.0;
    return true;
}

void PluginApplication::ExportCameras(ProMdl& model) {
    ProMatrix camera;
    ProMatrix current = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ProViewMatrixGet(model, nullptr, current);
    CameraTransformOfView(current, camera);
    WriteCamera(sceneBuilder, kCurrentViewCameraName, camera);

    ProLine* names = nullptr;
    int count = 0;
    ProViewNamesGet(model, &names, nullptr, &count);
    const HeldHostArray held(names);
    if (names == nullptr) return;
    for (int i = 0; i < count; ++i) {
        SavedViewTransform(model, names[i], camera);
        WriteCamera(sceneBuilder, ViewCameraName(names[i]).c_str(), camera);
    }
}
