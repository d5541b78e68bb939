// Materials, shaders and the capture of anonymous shaders.
#include "scene/scene_api_file.h"

#include <string>

#include <gtest/gtest.h>

#include "scene/shader_buffer.h"
#include "tests/scene_test_file.h"

namespace {

class SceneFileShaders : public SceneWriterTest {
protected:
    // Captures the shader "t" with the parameter "a" 1.
    ShaderBuffer* CaptureSmallShader()
    {
        writer.BeginShader(nullptr, "t");
        Param("a", 1);
        writer.EndShader(1);
        return writer.CurrentShaderBuffer();
    }

    static std::string Content(const ShaderBuffer* buffer)
    {
        return std::string(buffer->data, static_cast<std::size_t>(buffer->length));
    }
};

} // namespace

TEST_F(SceneFileShaders, MaterialsKeepTheStyleOfTheirSurroundings)
{
    EnterGroup();
    EXPECT_TRUE(writer.BeginMaterial("m", true));
    Param("a", 1);
    writer.EndMaterial();
    EXPECT_EQ(file.Take(), "  material \"m\" {\n    a 1\n  }\n");
    EXPECT_TRUE(writer.BeginMaterial("m", false));
    EXPECT_EQ(file.Take(), "  \n  #define   material \"m\" {\n");
    writer.EndMaterial();
    file.Take();
    EXPECT_TRUE(writer.UseMaterial("m", 5));
    EXPECT_TRUE(writer.ModifyMaterial("m"));
    writer.EndMaterial();
    EXPECT_EQ(file.Take(), "  material \"m\"\n  #modify material \"m\" {\n  }\n");
}

TEST_F(SceneFileShaders, AnonymousShaderIsCapturedAndStaysCurrentAfterItsEnd)
{
    EnterGroup();
    EXPECT_TRUE(writer.BeginShader(nullptr, "trv_envmap"));
    ShaderBuffer* during = writer.CurrentShaderBuffer();
    EXPECT_EQ(writer.State().memoryMode, 1);
    EXPECT_EQ(writer.State().indent, 2);
    Param("format", 3);
    writer.EndShader(1);
    EXPECT_EQ(writer.CurrentShaderBuffer(), during);
    EXPECT_EQ(writer.State().memoryMode, 0);
    EXPECT_EQ(writer.State().indent, 2);
    EXPECT_EQ(writer.State().paramStyle, 1);
    EXPECT_EQ(file.Take(), "");
    EXPECT_EQ(Content(during), "\"trv_envmap\" {\n  \"format\" 3,\n}");
    EXPECT_EQ(during->isBinary, 0);
    Param("after", 1); // output goes to the file again
    EXPECT_EQ(file.Take(), "  after 1\n");
}

TEST_F(SceneFileShaders, NamedShaderIsADefinitionInTheFileAlsoDuringACapture)
{
    EnterGroup();
    EXPECT_TRUE(writer.BeginShader("gold", "trv_metal"));
    Param("a", 1);
    writer.EndShader(1);
    Param("b", 2);
    EXPECT_EQ(file.Take(), "  #define shader \"gold\" \"trv_metal\" {\n    \"a\" 1,\n  }\n  b 2\n");
    EXPECT_EQ(writer.CurrentShaderBuffer(), nullptr);
    writer.BeginShader(nullptr, "outer");
    ShaderBuffer* outer = writer.CurrentShaderBuffer();
    writer.BeginShader("n", "type");
    Param("x", 1);
    writer.EndShader(1);
    Param("y", 2);
    writer.EndShader(1);
    EXPECT_EQ(file.Take(), "  #define shader \"n\" \"type\" {\n    \"x\" 1,\n  }\n");
    EXPECT_EQ(writer.CurrentShaderBuffer(), outer);
    EXPECT_EQ(Content(outer), "\"outer\" {\n  \"y\" 2,\n}");
}

TEST_F(SceneFileShaders, PushAndPopLetAnOuterCaptureGoOnAfterAnInnerOne)
{
    writer.BeginShader(nullptr, "outer");
    ShaderBuffer* outer = writer.CurrentShaderBuffer();
    Param("p", 1);
    writer.PushShaderBuffer();
    writer.BeginShader(nullptr, "inner");
    Param("q", 2);
    writer.EndShader(1);
    ShaderBuffer* inner = writer.CurrentShaderBuffer();
    EXPECT_NE(inner, outer);
    writer.PopShaderBuffer();
    EXPECT_EQ(writer.CurrentShaderBuffer(), outer);
    writer.SetShaderParameter("inner", inner);
    writer.EndShader(1);
    EXPECT_EQ(Content(outer), "\"outer\" {\n  \"p\" 1,\n"
                              "  \"inner\" !   \"inner\" {\n    \"q\" 2,\n  }  ,\n}");
    EXPECT_EQ(file.All(), "");
}

TEST_F(SceneFileShaders, WithoutPushTheOuterCaptureContinuesInTheInnerBuffer)
{
    writer.BeginShader(nullptr, "outer");
    ShaderBuffer* outer = writer.CurrentShaderBuffer();
    writer.BeginShader(nullptr, "inner");
    writer.EndShader(1);
    ShaderBuffer* inner = writer.CurrentShaderBuffer();
    Param("late", 1);
    writer.EndShader(1);
    EXPECT_EQ(Content(outer), "\"outer\" {\n");
    EXPECT_EQ(Content(inner), "\"inner\" {\n}  \"late\" 1,\n}");
}

TEST_F(SceneFileShaders, PoppingAwayTheCaptureBufferDropsTheCapturedText)
{
    writer.BeginShader(nullptr, "t");
    writer.PopShaderBuffer(); // the buffer saved by BeginShader: none
    EXPECT_EQ(writer.CurrentShaderBuffer(), nullptr);
    Param("lost", 1);
    writer.EndShader(1);
    Param("kept", 2);
    EXPECT_EQ(file.Take(), "\"kept\" 2,\n");
}

TEST_F(SceneFileShaders, TopBlockDuringACaptureWritesToTheFile)
{
    writer.BeginShader(nullptr, "t");
    ShaderBuffer* buffer = writer.CurrentShaderBuffer();
    writer.BeginOptions();
    Param("a", 1);
    EXPECT_EQ(file.Take(), "  \n  options {\n    a 1\n");
    EXPECT_EQ(Content(buffer), "\"t\" {\n");
}

TEST_F(SceneFileShaders, BindShaderWritesTheKeywordOfEveryKind)
{
    ShaderBuffer* buffer = CaptureSmallShader();
    const std::string inlined = "  \"t\" {\n    \"a\" 1,\n  }  \n";
    EnterGroup();
    const struct {
        ShaderKind kind;
        const char* keyword;
    } kinds[] = {{ShaderKind::Surface, "surface "}, {ShaderKind::Shadow, "shadow "},
                 {ShaderKind::Volume, "volume "}, {ShaderKind::ReflectionMap, "reflection map "},
                 {ShaderKind::Init, "init "}};
    for (const auto& k : kinds) {
        writer.BindShader(static_cast<int>(k.kind), buffer);
        EXPECT_EQ(file.Take(), std::string("  ") + k.keyword + inlined);
    }
    for (int unknown : {4, 5, 7, 9, -1}) {
        writer.BindShader(unknown, buffer);
        EXPECT_EQ(file.Take(), "  // assuming surface shader\n  surface " + inlined) << unknown;
    }
    writer.BindShader(0, nullptr);
    EXPECT_EQ(file.Take(), "");
}

TEST_F(SceneFileShaders, BinaryCaptureIsInlinedByteForByte)
{
    writer.BeginShader(nullptr, "t\xE9");
    Param("a", 1);
    writer.EndShader(1);
    ShaderBuffer* buffer = writer.CurrentShaderBuffer();
    EXPECT_EQ(buffer->isBinary, 1);
    EnterGroup();
    writer.BindShader(0, buffer);
    EXPECT_EQ(file.Take(), "  surface xX74e9 {\n  \"a\" 1,\n}  \n");
    writer.SetParameter("s", SceneValueType::Shader, &buffer);
    EXPECT_EQ(file.Take(), "  s xX74e9 {\n  \"a\" 1,\n}\n");
}

TEST_F(SceneFileShaders, ShaderParameterInlinesTheBufferAtTheCurrentIndentation)
{
    ShaderBuffer* buffer = CaptureSmallShader();
    writer.BeginGeometry("triangles");
    file.Take();
    EXPECT_TRUE(writer.SetShaderParameter("s", buffer));
    EXPECT_EQ(file.Take(), "  \"s\" !   \"t\" {\n    \"a\" 1,\n  }  ,\n");
    EXPECT_TRUE(writer.SetShaderParameter("\xE9", buffer));
    EXPECT_EQ(file.Take(), "xXe9 !   \"t\" {\n    \"a\" 1,\n  }  ,\n");
}
