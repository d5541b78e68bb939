#include "simhost/model/outline.h"

#include <gtest/gtest.h>

#include "simhost/model/shapes.h"

namespace sim {
namespace {

Model PartWith(void (*add)(Model&, IdSource&)) {
    Model model;
    IdSource ids;
    add(model, ids);
    return model;
}

TEST(Outline, CylinderBoxIsTight) {
    World world;
    world.models.push_back(PartWith([](Model& m, IdSource& ids) {
        AddCylinder(m, m.surfaces, 2.0, 5.0, IdentityMatrix(), ShapeStyle{}, ids);
    }));
    Box box = SolidOutline(world, world.models[0]);
    EXPECT_NEAR(box.min.x, -2, 1e-12);
    EXPECT_NEAR(box.max.y, 2, 1e-12);
    EXPECT_NEAR(box.min.z, 0, 1e-12);
    EXPECT_NEAR(box.max.z, 5, 1e-12);
}

TEST(Outline, AssemblyPlacesItsComponentsAndCountsItsQuilts) {
    World world;
    world.models.push_back(PartWith([](Model& m, IdSource& ids) {
        AddBox(m, m.surfaces, {0, 0, 0}, {4, 1, 1}, IdentityMatrix(), ShapeStyle{}, ids);
    }));
    Model assembly;
    assembly.type = ModelType::Assembly;
    Feature component;
    component.id = 1;
    component.model = 0;
    // A quarter turn about z (x goes to y), then up by 10.
    component.placement = {{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 10, 1}}};
    assembly.features.push_back(component);
    assembly.quilts.emplace_back();
    IdSource ids{50};
    AddRectangle(assembly, assembly.quilts[0].surfaces, 1, 1, IdentityMatrix(), ShapeStyle{}, ids);
    world.models.push_back(assembly);

    Box box = SolidOutline(world, world.models[1]);
    EXPECT_NEAR(box.min.x, -1, 1e-12);
    EXPECT_NEAR(box.max.x, 1, 1e-12);
    EXPECT_NEAR(box.max.y, 4, 1e-12);
    EXPECT_NEAR(box.min.z, 0, 1e-12);  // the quilt at z = 0
    EXPECT_NEAR(box.max.z, 11, 1e-12);
}

TEST(Outline, ModelWithoutGeometryIsEmpty) {
    World world;
    world.models.emplace_back();
    EXPECT_TRUE(SolidOutline(world, world.models[0]).empty);
}

}  // namespace
}  // namespace sim
