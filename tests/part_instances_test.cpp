// Solids registered as instances: their material groups written as instance objects.
#include <string>

#include <gtest/gtest.h>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "tests/scene_test_file.h"

namespace {

MaterialKey Key(double r, double g, double b) {
    MaterialKey key;
    key.baseName = "color";
    key.red = r, key.green = g, key.blue = b;
    return key;
}

class PartInstances : public ::testing::Test {
protected:
    void SetUp() override { app.sceneBuilder.api = &writer; }

    SceneTestFile file;
    trvScene_api_file writer{file.get(), false};
    PluginApplication app;
};

std::string GreyInstance(int id) {
    return "\n"
           "  object \"BOLT\" {\n"
           "    geometry \"instance\" {\n"
           "      \"id\" " + std::to_string(id) + ",\n"
           "    }\n"
           "    material \"bolt:color:128:128:128\" {\n"
           "      surface       \"trv_diffuse\" {\n"
           "        \"diffuse\" 0.5 0.5 0.5,\n"
           "      }      \n"
           "    }\n"
           "  }\n";
}

TEST_F(PartInstances, EachMaterialGroupIsAGroupOfInstanceObjectsInKeyOrder) {
    app.partInstanceRegistry["BOLT.prt"][Key(1, 0, 0)] = {};
    app.partInstanceRegistry["BOLT.prt"][Key(0.5, 0.5, 0.5)] = {7, 9};
    ASSERT_TRUE(app.HasPartInstances("BOLT.prt"));
    app.ExportSolidInstances("BOLT.prt", "BOLT");
    EXPECT_EQ(file.All(),
              "\n"
              "group \"BOLT\" {\n"
              "  flags 66560\n" +
                  GreyInstance(7) + GreyInstance(9) +
                  "}\n"
                  // A group with no identifiers keeps its group and flags.
                  "\n"
                  "group \"BOLT\" {\n"
                  "  flags 66560\n"
                  "}\n");
    EXPECT_EQ(app.partInstanceRegistry.size(), 1u);
    EXPECT_EQ(app.partInstanceRegistry["BOLT.prt"].size(), 2u);
}

TEST_F(PartInstances, KeyWithoutMaterialGroupsOrNotRegisteredWritesNothing) {
    EXPECT_FALSE(app.HasPartInstances("BOLT.prt"));
    app.ExportSolidInstances("BOLT.prt", "BOLT");
    EXPECT_TRUE(app.partInstanceRegistry.empty());
    app.partInstanceRegistry["BOLT.prt"];
    EXPECT_TRUE(app.HasPartInstances("BOLT.prt"));
    EXPECT_FALSE(app.HasPartInstances("BOLT.asm"));
    EXPECT_FALSE(app.HasPartInstances("bolt.prt"));  // keys compare as bytes
    app.ExportSolidInstances("BOLT.prt", "BOLT");
    EXPECT_EQ(file.All(), "");
}

}  // namespace
