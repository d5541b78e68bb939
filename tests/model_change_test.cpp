// The script's changes of the model between commands, handed to the session's world.
#include <gtest/gtest.h>

#include "simhost/model/world.h"
#include "simhost/model_change.h"

namespace {

using Json = nlohmann::ordered_json;

sim::World CarWorld() {
    sim::World world;
    world.models.resize(2);
    world.models[0].name = "CAR";
    world.models[0].type = sim::ModelType::Assembly;
    world.models[1].name = "BOLT";
    sim::Feature bolt;
    bolt.id = 3;
    bolt.type = 1000;
    bolt.model = 1;
    world.models[0].features.push_back(bolt);
    sim::Feature datum;
    datum.id = 4;
    world.models[0].features.push_back(datum);
    world.current = 0;
    world.mode = 5;
    return world;
}

TEST(ModelChange, BumpsMovesAndSwitchesTheCurrentModel) {
    sim::World world = CarWorld();
    std::string error;
    const int stamp = world.models[1].verstamp;
    ASSERT_TRUE(sim::ApplyModelChange(world, Json::parse(R"({"bump": "BOLT"})"), error)) << error;
    EXPECT_NE(world.models[1].verstamp, stamp);

    ASSERT_TRUE(sim::ApplyModelChange(world, Json::parse(R"({"move": {"assembly": "CAR",
        "component": 3, "placement": [[1,0,0,0],[0,1,0,0],[0,0,1,0],[5,6,7,1]]}})"), error))
        << error;
    EXPECT_EQ(world.models[0].features[0].placement[3][0], 5.0);
    EXPECT_EQ(world.models[0].features[0].placement[3][2], 7.0);

    // Without a mode, a part becomes current in part mode.
    ASSERT_TRUE(sim::ApplyModelChange(world, Json::parse(R"({"current": "BOLT"})"), error)) << error;
    EXPECT_EQ(world.current, 1);
    EXPECT_EQ(world.mode, 1);
    ASSERT_TRUE(sim::ApplyModelChange(world, Json::parse(R"({"current": "CAR", "mode": 2})"), error));
    EXPECT_EQ(world.current, 0);
    EXPECT_EQ(world.mode, 2);
    ASSERT_TRUE(sim::ApplyModelChange(world, Json::parse(R"({"current": ""})"), error));
    EXPECT_EQ(world.current, -1);
}

TEST(ModelChange, RefusesChangesOfWhatIsNotThere) {
    const struct {
        const char* change;
        const char* error;
    } cases[] = {
        {R"({"bump": "TRUCK"})", "no model \"TRUCK\" to bump"},
        {R"({"move": {"assembly": "CAR", "component": 4, "placement": [[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}})",
         "assembly \"CAR\" has no component 4"},
        {R"({"move": {"assembly": "CAR", "component": 5, "placement": [[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}})",
         "assembly \"CAR\" has no component 5"},
        {R"({"move": {"assembly": "BOLT", "component": 3, "placement": [[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}})",
         "assembly \"BOLT\" has no component 3"},
        {R"({"move": {"assembly": "CAR", "component": 3, "placement": [[1,0,0],[0,1,0],[0,0,1]]}})",
         "\"move\" needs \"assembly\" (a name), \"component\" (a feature id) and \"placement\" (4 rows of 4 numbers)"},
        {R"({"current": "TRUCK"})", "\"current\" must name a model of the model file, or be \"\" for none"},
        {R"({"current": "CAR", "mode": "assembly"})", "\"mode\" must be an integer"},
        {R"({"bump": "CAR", "current": "CAR"})",
         "a model change holds one of \"bump\", \"move\" or \"current\" (with \"mode\")"},
        {R"(["bump"])", "a model change must be an object"},
    };
    for (const auto& bad : cases) {
        sim::World world = CarWorld();
        std::string error;
        EXPECT_FALSE(sim::ApplyModelChange(world, Json::parse(bad.change), error)) << bad.change;
        EXPECT_EQ(error, bad.error);
        EXPECT_EQ(world.current, 0);
        EXPECT_EQ(world.models[0].features[0].placement, sim::IdentityMatrix());
    }
}

}  // namespace
