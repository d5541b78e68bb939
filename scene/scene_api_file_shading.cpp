// Materials and shaders, with the capture of anonymous shaders into ShaderBuffers.
#include "scene/scene_api_file.h"

#include "scene/output_primitives.h"
#include "scene/shader_buffer.h"

bool trvScene_api_file::BeginMaterial(const char* name, bool place)
{
    if (!place)
        WriteIndented(state_, "\n#define ");
    WriteIndented(state_, "material ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

bool trvScene_api_file::UseMaterial(const char* name, std::uint32_t)
{
    WriteIndented(state_, "material ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, "\n");
    return true;
}

void trvScene_api_file::EndMaterial() { CloseBlock(); }

bool trvScene_api_file::ModifyMaterial(const char* name)
{
    WriteIndented(state_, "#modify material ");
    WriteNameUnindented(state_, name);
    WritePlain(state_, " {\n");
    state_.indent += 2;
    return true;
}

namespace {

const char* ShaderKeyword(int kind)
{
    switch (static_cast<ShaderKind>(kind)) {
    case ShaderKind::Surface: return "surface ";
    case ShaderKind::Shadow: return "shadow ";
    case ShaderKind::Volume: return "volume ";
    case ShaderKind::ReflectionMap: return "reflection map ";
    case ShaderKind::Init: return "init ";
    }
    return nullptr;
}

} // namespace

void trvScene_api_file::BindShader(int kind, ShaderBuffer* buffer)
{
    if (buffer == nullptr)
        return;
    const char* keyword = ShaderKeyword(kind);
    if (keyword == nullptr) {
        WriteIndented(state_, "// assuming surface shader\n");
        keyword = "surface ";
    }
    WriteIndented(state_, "%s", keyword);
    InlineBuffer(state_, buffer);
    WriteIndented(state_, "\n");
}

// A named shader is a definition in the file, even during a capture. An anonymous one is
// captured in a new buffer, which becomes current and stays current after its EndShader so that
// the caller can take it and write it as a parameter value.
bool trvScene_api_file::BeginShader(const char* name, const char* type)
{
    PushByte(state_.savedMemoryModes, state_.memoryMode);
    PushPointer(*state_.savedBuffers, state_.currentBuffer);
    PushByte(state_.savedStyles, state_.paramStyle);
    state_.paramStyle = 0;

    if (name != nullptr) {
        state_.memoryMode = 0;
        WriteIndented(state_, "#define shader ");
        WriteNameUnindented(state_, name);
        WritePlain(state_, " ");
        WriteNameUnindented(state_, type);
        WritePlain(state_, " {\n");
        state_.indent += 2;
        return true;
    }

    ShaderBuffer* buffer = NewShaderBuffer();
    try {
        PushPointer(*state_.shaderBuffers, buffer);
    } catch (...) {
        FreeShaderBuffer(buffer);
        throw;
    }
    state_.currentBuffer = buffer;
    state_.memoryMode = 1;
    // The captured text is indented from 0: it is indented again where it is written out.
    PushWord(state_.savedIndents, state_.indent);
    state_.indent = 0;
    WriteNameUnindented(state_, type);
    WritePlain(state_, " {\n");
    state_.indent = 2;
    return true;
}

void trvScene_api_file::EndShader(std::uint32_t)
{
    state_.indent -= 2;
    if (state_.memoryMode != 0) {
        WriteIndented(state_, "}");
        state_.indent = static_cast<std::int32_t>(PopWord(state_.savedIndents));
    } else {
        WriteIndented(state_, "}\n");
    }
    state_.paramStyle = PopByte(state_.savedStyles);
    PopWord(*state_.savedBuffers); // dropped: the finished buffer stays current
    state_.memoryMode = PopByte(state_.savedMemoryModes);
}

ShaderBuffer* trvScene_api_file::CurrentShaderBuffer() { return state_.currentBuffer; }

void trvScene_api_file::PushShaderBuffer() { PushPointer(*state_.savedBuffers, state_.currentBuffer); }

void trvScene_api_file::PopShaderBuffer() { state_.currentBuffer = PopPointer<ShaderBuffer>(*state_.savedBuffers); }
