// Material keys from the host's appearances and textures, material names, and the material
// blocks as the scene file writer writes them.
#include "export/materials.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "simhost/model_functions.h"
#include "tests/scene_test_file.h"
#include "tests/sim_geometry_host.h"
#include "sim_test_world.h"

namespace {

MaterialKey Key(double r, double g, double b, const std::u16string& texture = u"") {
    MaterialKey key;
    key.baseName = "color";
    key.red = r, key.green = g, key.blue = b;
    key.texturePath = texture;
    return key;
}

// ---- Names --------------------------------------------------------------------------------------

TEST(MaterialName, CarriesThePartNameLowerCasedWhenSeparateCutAndNoTexture) {
    EXPECT_EQ(MaterialName("BRACKET", Key(0.5, 0.25, 1.0), true), "bracket:color:128:64:255");
    EXPECT_EQ(MaterialName("BRACKET", Key(0.5, 0.25, 1.0), false), "color:128:64:255");
    EXPECT_EQ(MaterialName("GEAR_A", Key(0.6, 0.0, 0.998), true), "gear_a:color:153:0:254");
    EXPECT_EQ(MaterialName("P", Key(0, 0, 0, u"C:\\wood.png"), false), "color:0:0:0");
    const std::string longName(2000, 'A');
    const std::string name = MaterialName(longName.c_str(), Key(0, 0, 0), true);
    EXPECT_EQ(name, std::string(1023, 'a'));
}

TEST(MaterialName, ColourLevelsRoundHalfUpWithoutClampingUpToTheIntegerBounds) {
    const std::pair<double, int> levels[] = {
        {1.002, 256}, {1.0, 255}, {0.998, 254}, {0.5, 128}, {0.0019, 0}, {0.002, 1}, {0.0, 0},
        {-0.01, -2},  // -2.05 truncated toward zero
        {1e300, 2147483647}, {-1e300, -2147483647 - 1},
        {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [colour, level] : levels)
        EXPECT_EQ(MaterialColourLevel(colour), level) << colour;
    EXPECT_EQ(MaterialName("P", Key(1e300, -1e300, 0), false), "color:2147483647:-2147483648:0");
}

// ---- Order --------------------------------------------------------------------------------------

TEST(MaterialKeyOrder, ColourFirstThenTexturePath) {
    EXPECT_TRUE(MaterialKeyLess(Key(0.1, 0.9, 0.9), Key(0.2, 0, 0)));
    EXPECT_TRUE(MaterialKeyLess(Key(0.2, 0.1, 0.9), Key(0.2, 0.2, 0)));
    EXPECT_TRUE(MaterialKeyLess(Key(0.2, 0.2, 0.1), Key(0.2, 0.2, 0.2)));
    EXPECT_TRUE(MaterialKeyLess(Key(0.2, 0.2, 0.2, u"a"), Key(0.2, 0.2, 0.2, u"ab")));
    EXPECT_TRUE(MaterialKeyLess(Key(0.2, 0.2, 0.2, u"Z"), Key(0.2, 0.2, 0.2, u"\u00e9")));
    // Code units, not characters: U+1F600 is 0xD83D 0xDE00 and comes before U+FFEF.
    EXPECT_TRUE(MaterialKeyLess(Key(0, 0, 0, u"\U0001F600"), Key(0, 0, 0, u"\uffef")));
    MaterialKey named = Key(0.5, 0.5, 0.5);
    named.baseName = "other";
    EXPECT_FALSE(MaterialKeyLess(named, Key(0.5, 0.5, 0.5)));
    EXPECT_FALSE(MaterialKeyLess(Key(0.5, 0.5, 0.5), named));
}

// ---- Material blocks ----------------------------------------------------------------------------

class MaterialBlock : public ::testing::Test {
protected:
    void SetUp() override { app.sceneBuilder.api = &writer; }

    SceneTestFile file;
    trvScene_api_file writer{file.get(), true};
    PluginApplication app;
};

TEST_F(MaterialBlock, UntexturedMaterialBindsADiffuseShader) {
    const std::string shader = "  surface   \"trv_diffuse\" {\n"
                               "    \"diffuse\" 0.5 0.25 1,\n"
                               "  }  \n"
                               "}\n";
    app.WriteMaterial("BRACKET", Key(0.5, 0.25, 1.0));
    EXPECT_EQ(file.Take(), "material \"bracket:color:128:64:255\" {\n" + shader);
    // Without separate materials the name leaves the part's name out.
    app.settings.separateMaterials = false;
    app.WriteMaterial("BRACKET", Key(0.5, 0.25, 1.0));
    EXPECT_EQ(file.Take(), "material \"color:128:64:255\" {\n" + shader);
}

TEST_F(MaterialBlock, TexturedMaterialEmbedsTheTextureShaderAsItsDiffuse) {
    // No host here: the path cannot be resolved again and is written as the key holds it.
    app.WriteMaterial("BRACKET", Key(0.5, 0.25, 1.0, u"C:\\tex\\wood.png"));
    EXPECT_EQ(file.Take(),
              "material \"bracket:color:128:64:255\" {\n"
              "  surface   \"trv_advanced\" {\n"
              "    \"diffuse\" 0.5 0.25 1,\n"
              "    \"specular\" 0 0 0,\n"
              "    \"fresnel\" on,\n"
              "    \"roughness\" 0,\n"
              "    \"ior\" 1.5,\n"
              "    \"glossy\" on,\n"
              "    \"glossy_samples\" 9,\n"
              "    \"alpha\" 1,\n"
              "    \"diffuse\" !   \"texture_rgb\" {\n"
              "      \"project\" 3,\n"
              "      \"wrap\" on,\n"
              "      \"default_color\" 0 0 0,\n"
              "      \"texture\" \"C:\\tex\\wood.png\",\n"
              "    }  ,\n"
              "  }  \n"
              "}\n");
}

TEST_F(MaterialBlock, TexturePathIsInTheAnsiCodePageAndTheColourInSinglePrecision) {
    app.WriteMaterial("P", Key(0, 0, 0, u"C:\\b\u00e9ton.png"));
    const std::string text = file.Take();
    // The e acute is one byte (0xE9) in Windows-1252, and a name with such a byte is written in
    // hexadecimal.
    EXPECT_NE(text.find("\"texture\" xX433a5c62e9746f6e2e706e67,\n"), std::string::npos) << text;
    app.WriteMaterial("P", Key(0.1, 1.0 / 3.0, 2.0));
    EXPECT_NE(file.Take().find("\"diffuse\" 0.1 0.333333 2,\n"), std::string::npos);
}

// ---- Keys from the host's appearances and textures ----------------------------------------------

ProError CollectFirst(ProSurface surface, ProError, ProAppData data) {
    *static_cast<ProSurface*>(data) = surface;
    return PRO_TK_USER_ABORT;  // the first surface is enough
}

class SurfaceMaterialKey : public ::testing::Test {
protected:
    void TearDown() override {
        sim_geometry::UnbindGeometryHost();
        EXPECT_EQ(sim::ProblemCount(), 0u);
    }

    // The key of the first surface of part P in the world whose model P carries modelEntries
    // and whose surface carries surfaceEntries, with the model-level records fetched as the
    // surface export fetches them.
    MaterialKey KeyOf(const std::string& surfaceEntries, const std::string& modelEntries = "",
                      const std::string& worldEntries = "",
                      const std::set<std::string>& missing = {}) {
        const std::string world = "{" + worldEntries +
            R"("current": "P", "models": [{"name": "P", "type": "part", )" + modelEntries +
            R"("shapes": [{"rectangle": {"size": [1, 1]})" + surfaceEntries + "}]}]}";
        EXPECT_TRUE(sim_geometry::BindGeometryHost(world, missing));
        const ProSolid solid = sim_geometry::Model("P");
        ProSurface surface = nullptr;
        ProSolidSurfaceVisit(solid, CollectFirst, nullptr, &surface);
        ProGeomitem item = {};
        ProSurfaceToGeomitem(solid, surface, &item);
        ProModelitem modelItem = {};
        ProMdlToModelitem(solid, &modelItem);
        ProSurfaceAppearanceProps appearance = {};
        ProSurfaceTextureProps texture = {};
        const bool hasAppearance =
            ProSurfaceAppearancepropsGet(&modelItem, &appearance) == PRO_TK_NO_ERROR;
        const bool hasTexture = ProSurfaceTexturepropsGet(&modelItem, &texture) == PRO_TK_NO_ERROR;
        ProAsmcomppath path = {};
        path.owner = solid;
        return GetSurfaceMaterialKey("P", &item, path, hasAppearance ? &appearance : nullptr,
                                     hasTexture ? &texture : nullptr);
    }
};

const char kModelLevel[] =
    R"("appearance": {"name": "MODEL", "diffuse": 0.5, "color": [1, 1, 1]},
       "texture": {"file": "model.png", "path": "C:\\tex\\model.png"}, )";
const char kHostDefault[] =
    R"("default_appearance": {"name": "DEFAULT", "diffuse": 1, "color": [0.25, 0.5, 0.75]},
       "default_texture": {"file": "default.png", "path": "C:\\tex\\default.png"}, )";

TEST_F(SurfaceMaterialKey, TheFirstAppearanceFoundGivesTheColourAndMaybeTheTexture) {
    const std::string red = R"(, "appearance": {"name": "RED", "diffuse": 1, "color": [1, 0, 0]})";
    const std::string wood = R"(, "texture": {"file": "wood.png", "path": "C:\\tex\\wood.png"})";
    const struct {
        const char* story;
        std::string surface, model, world;
        std::set<std::string> missing;
        double r, g, b;
        std::u16string path;
    } cases[] = {
        {"the surface's own appearance and texture first",
         R"(, "appearance": {"name": "RED", "diffuse": 0.8, "color": [1, 0.5, 0]})" + wood,
         kModelLevel, kHostDefault, {}, 0.8, 0.4, 0.0, u"C:\\tex\\wood.png"},
        {"an unnamed surface appearance gives way to the model's, even unnamed",
         R"(, "appearance": {"name": "", "diffuse": 1, "color": [1, 0, 0]})",
         R"("appearance": {"name": "", "diffuse": 0.5, "color": [1, 1, 1]},
            "texture": {"file": "model.png", "path": "C:\\tex\\model.png"}, )",
         kHostDefault, {}, 0.5, 0.5, 0.5, u"C:\\tex\\model.png"},
        {"a named surface appearance never takes the model's texture", red, kModelLevel,
         kHostDefault, {}, 1, 0, 0, u""},
        {"nor when its own texture cannot be resolved",
         red + R"(, "texture": {"file": "lost.png", "faults": ["unresolvable"]})", kModelLevel,
         kHostDefault, {}, 1, 0, 0, u""},
        {"without surface or model appearance the host default", "", "", kHostDefault, {}, 0.25,
         0.5, 0.75, u"C:\\tex\\default.png"},
        {"a model-level texture without a model-level appearance is not used", "",
         R"("texture": {"file": "model.png", "path": "C:\\m.png"}, )",
         R"("default_appearance": {"name": "D", "diffuse": 1, "color": [1, 1, 1]}, )", {}, 1, 1,
         1, u""},
        {"no appearance at all: grey", "", "", "", {}, 0.5, 0.5, 0.5, u""},
        {"an unnamed host default counts as none", "", "",
         R"("default_appearance": {"name": "", "diffuse": 1, "color": [1, 0, 0]},
            "default_texture": {"file": "d.png", "path": "C:\\d.png"}, )",
         {}, 0.5, 0.5, 0.5, u""},
        {"a host without the appearance call", red + wood, kModelLevel, kHostDefault,
         {"ProSurfaceAppearancepropsGet"}, 0.5, 0.5, 0.5, u""},
        {"a host without the texture call", red + wood, kModelLevel, kHostDefault,
         {"ProSurfaceTexturepropsGet"}, 1, 0, 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        const MaterialKey key = KeyOf(c.surface, c.model, c.world, c.missing);
        EXPECT_EQ(key.baseName, "color");
        EXPECT_DOUBLE_EQ(key.red, c.r);
        EXPECT_DOUBLE_EQ(key.green, c.g);
        EXPECT_DOUBLE_EQ(key.blue, c.b);
        EXPECT_EQ(key.texturePath, c.path);
    }
}

TEST_F(SurfaceMaterialKey, MaterialWritesThePathTheHostResolvesForTheKey) {
    KeyOf(R"(, "texture": {"file": "wood.png", "path": "D:\\images\\wood.png"})");
    SceneTestFile file;
    trvScene_api_file writer(file.get(), false);
    PluginApplication app;
    app.sceneBuilder.api = &writer;
    app.WriteMaterial("P", Key(1, 1, 1, u"wood.png"));
    EXPECT_NE(file.All().find("\"texture\" \"D:\\images\\wood.png\",\n"), std::string::npos)
        << file.All();
}

}  // namespace
