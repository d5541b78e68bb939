// The simulated host's model file: any text either loads into a world whose references all hold,
// or is refused with a message that names the file, without a crash, overrun, leak or hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "simhost/model/model_file.h"
#include "simhost/model/world.h"

namespace {

// What the toolkit functions rely on after a load: components name models, surfaces name
// features, contours name edges that bound them, edges name surfaces.
void CheckReferences(const sim::World& world) {
    for (const sim::Model& model : world.models) {
        for (const sim::Feature& feature : model.features)
            if (feature.IsComponent() && static_cast<size_t>(feature.model) >= world.models.size())
                std::abort();
        auto checkSurface = [&](const sim::Surface& surface) {
            if (!sim::FindFeature(model, surface.feature)) std::abort();
            for (const sim::Contour& contour : surface.contours)
                for (int id : contour.edges) {
                    const sim::Edge* edge = sim::FindEdge(model, id);
                    if (!edge || (edge->sides[0].surface != surface.id &&
                                  edge->sides[1].surface != surface.id))
                        std::abort();
                }
        };
        for (const sim::Surface& surface : model.surfaces) checkSurface(surface);
        for (const sim::Quilt& quilt : model.quilts)
            for (const sim::Surface& surface : quilt.surfaces) checkSurface(surface);
        for (const sim::Edge& edge : model.edges)
            for (const sim::EdgeSide& side : edge.sides)
                if (side.surface >= 0 && !sim::FindSurface(model, side.surface)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::World world;
    std::string error;
    if (sim::ParseModelFile(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json",
                            world, error)) {
        CheckReferences(world);
    } else if (error.rfind("fuzz.json: ", 0) != 0) {
        std::abort();  // every refusal names the file
    }
    return 0;
}
