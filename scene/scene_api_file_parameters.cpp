// Parameters and arrays, written whole or element by element.
#include "scene/scene_api_file.h"

#include <cstring>

#include "scene/binary_array.h"
#include "scene/output_primitives.h"
#include "scene/scene_value.h"

namespace {

// Shader and StringRef values arrive through a pointer to the buffer or text pointer.
const void* Dereferenced(SceneValueType type, const void* value)
{
    if (value == nullptr)
        return nullptr;
    if (type == SceneValueType::Shader || type == SceneValueType::StringRef)
        return *static_cast<const void* const*>(value);
    return value;
}

} // namespace

bool trvScene_api_file::SetParameter(const char* name, SceneValueType type, const void* value)
{
    value = Dereferenced(type, value);
    if (state_.paramStyle == 1) {
        WriteIndented(state_, "%s ", name);
        WriteValue(state_, type, value);
        WritePlain(state_, "\n");
    } else {
        WriteName(state_, name);
        WritePlain(state_, " ");
        WriteValue(state_, type, value);
        WritePlain(state_, ",\n");
    }
    return true;
}

bool trvScene_api_file::SetShaderParameter(const char* name, ShaderBuffer* buffer)
{
    WriteName(state_, name);
    WritePlain(state_, " ! ");
    InlineBuffer(state_, buffer);
    WriteIndented(state_, ",\n");
    return true;
}

bool trvScene_api_file::BeginArray(const char* name)
{
    WriteName(state_, name);
    WritePlain(state_, " [\n");
    state_.arrayCount = 0;
    state_.indent += 2;
    state_.accumulator.count = 0;
    WriteIndentation(state_);
    return true;
}

namespace {

// The binary element kinds and the number of 32-bit words of one element.
bool BinaryElement(SceneValueType type, char& kind, int& words)
{
    switch (type) {
    case SceneValueType::Float3: kind = BinaryKindFloat3; words = 3; return true;
    case SceneValueType::Float: kind = BinaryKindFloat; words = 1; return true;
    case SceneValueType::Int: kind = BinaryKindInt; words = 1; return true;
    default: return false;
    }
}

} // namespace

// Binary elements wait in the accumulator for EndArray. Text elements stand two float triples
// or six other values to a line, each new line at the array's indentation.
void trvScene_api_file::AddArrayElement(SceneValueType type, const void* value)
{
    char kind = 0;
    int words = 0;
    if (state_.binaryArrays != 0 && BinaryElement(type, kind, words)) {
        if (value == nullptr)
            return;
        state_.pendingKind = kind;
        const auto* bytes = static_cast<const unsigned char*>(value);
        for (int w = 0; w < words; ++w) {
            std::uint32_t word;
            std::memcpy(&word, bytes + 4 * w, 4);
            AppendBinaryWord(state_.accumulator, &word);
        }
        return;
    }
    value = Dereferenced(type, value);
    const std::int32_t k = state_.arrayCount;
    if (k > 0) {
        const bool newLine = type == SceneValueType::Float3 ? k % 2 == 0 : k % 6 == 0;
        if (newLine) {
            WritePlain(state_, ",\n");
            WriteIndentation(state_);
        } else {
            WritePlain(state_, ", ");
        }
    }
    WriteValue(state_, type, value);
    ++state_.arrayCount;
}

void trvScene_api_file::EndArray()
{
    if (state_.binaryArrays != 0 && state_.accumulator.count > 0) {
        WriteBinaryArrayBlock(state_, state_.pendingKind, state_.accumulator.data.get(),
                              static_cast<std::uint32_t>(state_.accumulator.count), 4);
        state_.accumulator.count = 0;
    }
    WritePlain(state_, " ],\n");
    state_.indent -= 2;
}
