// Material keys from the host's appearances and textures, material names, and the material
// blocks as the scene file writer writes them.
#include "export/materials.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "tests/scene_test_file.h"

namespace {

MaterialKey Key(double r, double g, double b, const std::u16string& texture = u"") {
    MaterialKey key;
    key.baseName = "color";
    key.red = r, key.green = g, key.blue = b;
    key.texturePath = texture;
    return key;
}

// ---- Names --------------------------------------------------------------------------------------

TEST(MaterialName, CarriesThePartNameLowerCasedWhenMaterialsAreSeparate) {
    EXPECT_EQ(MaterialName("BRACKET", Key(0.5, 0.25, 1.0), true), "bracket:color:128:64:255");
    EXPECT_EQ(MaterialName("BRACKET", Key(0.5, 0.25, 1.0), false), "color:128:64:255");
    EXPECT_EQ(MaterialName("GEAR_A", Key(0.6, 0.0, 0.998), true), "gear_a:color:153:0:254");
}

TEST(MaterialName, ColourLevelsRoundHalfUpWithoutClamping) {
    EXPECT_EQ(MaterialColourLevel(1.002), 256);
    EXPECT_EQ(MaterialColourLevel(1.0), 255);
    EXPECT_EQ(MaterialColourLevel(0.998), 254);
    EXPECT_EQ(MaterialColourLevel(0.5), 128);
    EXPECT_EQ(MaterialColourLevel(0.0019), 0);
    EXPECT_EQ(MaterialColourLevel(0.002), 1);
    EXPECT_EQ(MaterialColourLevel(0.0), 0);
    EXPECT_EQ(MaterialColourLevel(-0.01), -2);  // -2.05 truncated toward zero
}

TEST(MaterialName, ColoursBeyondAnIntegerEndAtItsBounds) {
    EXPECT_EQ(MaterialColourLevel(1e300), 2147483647);
    EXPECT_EQ(MaterialColourLevel(-1e300), -2147483647 - 1);
    EXPECT_EQ(MaterialColourLevel(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(MaterialName("P", Key(1e300, -1e300, 0), false), "color:2147483647:-2147483648:0");
}

TEST(MaterialName, TextureTakesNoPartAndALongNameIsCut) {
    EXPECT_EQ(MaterialName("P", Key(0, 0, 0, u"C:\\wood.png"), false), "color:0:0:0");
    const std::string longName(2000, 'A');
    const std::string name = MaterialName(longName.c_str(), Key(0, 0, 0), true);
    EXPECT_EQ(name, std::string(1023, 'a'));
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
    app.WriteMaterial("BRACKET", Key(0.5, 0.25, 1.0));
    EXPECT_EQ(file.Take(),
              "material \"bracket:color:128:64:255\" {\n"
              "  surface   \"trv_diffuse\" {\n"
              "    \"diffuse\" 0.5 0.25 1,\n"
              "  }  \n"
              "}\n");
    app.settings.separateMaterials = false;
    app.WriteMaterial("BRACKET", Key(0.5, 0.5, 0.5));
    EXPECT_EQ(file.Take(),
              "material \"color:128:128:128\" {\n"
              "  surface   \"trv_diffuse\" {\n"
              "    \"diffuse\" 0.5 0.5 0.5,\n"
              "  }  \n"
              "}\n");
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

TEST_F(MaterialBlock, TexturePathIsWrittenInTheAnsiCodePage) {
    app.WriteMaterial("P", Key(0, 0, 0, u"C:\\b\u00e9ton.png"));
    const std::string text = file.Take();
    // The e acute is one byte (0xE9) in Windows-1252, and a name with such a byte is written in
    // hexadecimal.
    EXPECT_NE(text.find("\"texture\" xX433a5c62e9746f6e2e706e67,\n"), std::string::npos) << text;
}

TEST_F(MaterialBlock, ColourIsRoundedToSinglePrecisionInTheShader) {
    app.WriteMaterial("P", Key(0.1, 1.0 / 3.0, 2.0));
    EXPECT_NE(file.Take().find("\"diffuse\" 0.1 0.333333 2,\n"), std::string::npos);
}

}  // namespace
