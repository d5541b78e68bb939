#include "simhost/model/world.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

World TwoModels() {
    World world;
    Model assembly;
    assembly.name = "ASM";
    assembly.type = ModelType::Assembly;
    Feature component;
    component.id = 7;
    component.model = 1;
    assembly.features.push_back(component);
    Feature datum;
    datum.id = 8;
    assembly.features.push_back(datum);
    world.models.push_back(assembly);
    Model part;
    part.name = "PRT";
    world.models.push_back(part);
    return world;
}

TEST(World, BumpMovesTheVersionStampOn) {
    World world = TwoModels();
    EXPECT_TRUE(BumpVerstamp(world, "PRT"));
    EXPECT_EQ(world.models[1].verstamp, 2);
    EXPECT_FALSE(BumpVerstamp(world, "NONE"));
}

TEST(World, MoveChangesOnlyComponents) {
    World world = TwoModels();
    Matrix placement = IdentityMatrix();
    placement[3][1] = 5;
    EXPECT_TRUE(MoveComponent(world, "ASM", 7, placement));
    EXPECT_EQ(world.models[0].features[0].placement[3][1], 5);
    EXPECT_FALSE(MoveComponent(world, "ASM", 8, placement));  // not a component
    EXPECT_FALSE(MoveComponent(world, "ASM", 9, placement));
    EXPECT_FALSE(MoveComponent(world, "PRT", 7, placement));
}

TEST(World, SetCurrentModelOrNone) {
    World world = TwoModels();
    EXPECT_TRUE(SetCurrentModel(world, "PRT", 1));
    EXPECT_EQ(world.current, 1);
    EXPECT_EQ(world.mode, 1);
    EXPECT_FALSE(SetCurrentModel(world, "NONE", 5));
    EXPECT_EQ(world.current, 1);
    EXPECT_TRUE(SetCurrentModel(world, "", 0));
    EXPECT_EQ(world.current, -1);
}

}  // namespace
}  // namespace sim
