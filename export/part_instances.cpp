#include "plugin/plugin_application.h"
#include "scene/scene_api.h"

namespace {

// The flags of a material group written as instances, as of a NURBS material group.
constexpr std::uint32_t kInstanceGroupFlags = 0x10400;

}  // namespace

bool PluginApplication::HasPartInstances(const std::string& key) const {
    return partInstanceRegistry.count(key) != 0;
}

void PluginApplication::ExportSolidInstances(const std::string& key, const std::string& name) {
    const auto found = partInstanceRegistry.find(key);
    if (found == partInstanceRegistry.end()) return;
    trvScene_api& api = *sceneBuilder.GetSceneApi();
    // WriteMaterial reads the settings and the scene output only, so the registry's entry stays
    // valid throughout.
    for (const auto& group : found->second) {
        api.BeginGroup(name.c_str(), true);
        api.SetFlags(kInstanceGroupFlags);
        for (const int id : group.second) {
            api.BeginObject(name.c_str(), true);
            api.BeginGeometry("instance");
            const int32_t value = id;
            api.SetParameter("id", SceneValueType::Int, &value);
            api.EndGeometry();
            WriteMaterial(name.c_str(), group.first);
            api.EndObject();
        }
        api.EndGroup();
    }
}
