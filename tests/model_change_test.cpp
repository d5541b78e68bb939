// The script's changes of the model between commands, handed to the session's world.
#include <gtest/gtest.h>

#include "simhost/model/model_file.h"
#include "simhost/model/world.h"
#include "simhost/model_change.h"

namespace {

using Json = nlohmann::ordered_json;

// CAR, the current assembly, holds BOLT (component 3) and a datum (4).
sim::World CarWorld() {
    sim::World world;
    std::string error;
    EXPECT_TRUE(sim::ParseModelFile(R"({"current": "CAR", "models": [
        {"name": "CAR", "type": "assembly", "features": [{"id": 3, "model": "BOLT"}, {"id": 4}]},
        {"name": "BOLT", "type": "part"}]})", "car.json", world, error)) << error;
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
