#include "plugin/scene_head.h"

#include "scene/scene_api.h"

namespace {

void WriteHeaderLines(trvScene_api& api, ExportRoad road, bool includeNURBS) {
    if (includeNURBS || road == ExportRoad::Update) {
        api.WriteRaw("//---tarvex:dal:7---\n");
    } else if (road == ExportRoad::Export) {
        api.WriteRaw("//---tarvex:dal:5---\n");
    } else {
        api.WriteRaw("//---tarvex:dal:4---\n");
    }
    api.WriteRaw("//---import:dal:1---\n");
    // Only a file carries the scene identifier in its head; a live object is given it by SetId.
    if (road == ExportRoad::Export) api.WriteRaw("//---id:1---\n");
    api.WriteRaw("// This is a Vistrel scene file\n\n");
}

void SetBool(trvScene_api& api, const char* name, std::int32_t value) {
    api.SetParameter(name, SceneValueType::Bool, &value);
}

void SetInt(trvScene_api& api, const char* name, std::int32_t value) {
    api.SetParameter(name, SceneValueType::Int, &value);
}

void SetFloat(trvScene_api& api, const char* name, float value) {
    api.SetParameter(name, SceneValueType::Float, &value);
}

// The import options, in each road's own order: Export asks the renderer to fit its camera to
// the scene, Update asks it to keep its camera, Render says nothing of the camera.
void WriteImportOptions(trvScene_api& api, ExportRoad road, std::int32_t upAxis,
                        float metreScale) {
    SetBool(api, "import_mode", 1);
    SetBool(api, "import_merge_groups", 0);
    SetBool(api, "import_merge_objects", 0);
    switch (road) {
        case ExportRoad::Export:
            SetBool(api, "import_keep_original", 1);
            SetBool(api, "import_adjust_environment", 1);
            SetBool(api, "import_adjust_camera", 1);
            break;
        case ExportRoad::Render:
            SetBool(api, "import_adjust_environment", 1);
            SetBool(api, "import_keep_original", 1);
            break;
        case ExportRoad::Update:
            SetBool(api, "import_adjust_environment", 1);
            SetBool(api, "import_adjust_camera", 0);
            SetBool(api, "import_keep_original", 1);
            break;
    }
    SetInt(api, "import_up_vector", upAxis);
    SetFloat(api, "meter_scale", metreScale);
    SetBool(api, "ext", 0);
}

}  // namespace

void WriteSceneHead(trvScene_api& api, ExportRoad road, bool includeNURBS, std::int32_t upAxis,
                    float metreScale) {
    WriteHeaderLines(api, road, includeNURBS);
    if (road == ExportRoad::Export) {
        api.BeginLoad("trvgeometry_nurbs.so");
        api.EndLoad();
    }
    api.BeginLoad("trvrtopt.so");
    WriteImportOptions(api, road, upAxis, metreScale);
    api.EndLoad();
}
