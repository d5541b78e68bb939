#include "simhost/model/world.h"

namespace sim {

Matrix IdentityMatrix() {
    Matrix m{};
    for (int i = 0; i < 4; ++i) m[i][i] = 1.0;
    return m;
}

namespace {

template <typename ModelT>
auto FindFeatureIn(ModelT& model, int id) -> decltype(&model.features[0]) {
    for (auto& feature : model.features)
        if (feature.id == id) return &feature;
    return nullptr;
}

template <typename ModelT>
auto FindSurfaceIn(ModelT& model, int id) -> decltype(&model.surfaces[0]) {
    for (auto& surface : model.surfaces)
        if (surface.id == id) return &surface;
    for (auto& quilt : model.quilts)
        for (auto& surface : quilt.surfaces)
            if (surface.id == id) return &surface;
    return nullptr;
}

template <typename ModelT>
auto FindQuiltIn(ModelT& model, int id) -> decltype(&model.quilts[0]) {
    for (auto& quilt : model.quilts)
        if (quilt.id == id) return &quilt;
    return nullptr;
}

template <typename ModelT>
auto FindEdgeIn(ModelT& model, int id) -> decltype(&model.edges[0]) {
    for (auto& edge : model.edges)
        if (edge.id == id) return &edge;
    return nullptr;
}

}  // namespace

Model* FindModel(World& world, const std::string& name) {
    for (auto& model : world.models)
        if (model.name == name) return &model;
    return nullptr;
}

const Model* FindModel(const World& world, const std::string& name) {
    return FindModel(const_cast<World&>(world), name);
}

int ModelIndex(const World& world, const Model* model) {
    for (size_t i = 0; i < world.models.size(); ++i)
        if (&world.models[i] == model) return static_cast<int>(i);
    return -1;
}

Feature* FindFeature(Model& model, int id) { return FindFeatureIn(model, id); }
const Feature* FindFeature(const Model& model, int id) { return FindFeatureIn(model, id); }
Surface* FindSurface(Model& model, int id) { return FindSurfaceIn(model, id); }
const Surface* FindSurface(const Model& model, int id) { return FindSurfaceIn(model, id); }
Quilt* FindQuilt(Model& model, int id) { return FindQuiltIn(model, id); }
const Quilt* FindQuilt(const Model& model, int id) { return FindQuiltIn(model, id); }
Edge* FindEdge(Model& model, int id) { return FindEdgeIn(model, id); }
const Edge* FindEdge(const Model& model, int id) { return FindEdgeIn(model, id); }

bool BumpVerstamp(World& world, const std::string& name) {
    Model* model = FindModel(world, name);
    if (!model) return false;
    ++model->verstamp;
    return true;
}

bool MoveComponent(World& world, const std::string& assembly, int componentId,
                   const Matrix& placement) {
    Model* model = FindModel(world, assembly);
    Feature* component = model ? FindFeature(*model, componentId) : nullptr;
    if (!component || !component->IsComponent()) return false;
    component->placement = placement;
    return true;
}

bool SetCurrentModel(World& world, const std::string& name, int mode) {
    if (name.empty()) {
        world.current = -1;
        world.mode = mode;
        return true;
    }
    const Model* model = FindModel(world, name);
    if (!model) return false;
    world.current = ModelIndex(world, model);
    world.mode = mode;
    return true;
}

}  // namespace sim
