#include "scene/scene_value.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "scene/binary_array.h"
#include "scene/output_primitives.h"
#include "scene/scene_writer_state.h"

namespace {

constexpr std::uint32_t ArrayFlag = static_cast<std::uint32_t>(SceneValueType::Array);

// The renderer cannot read a non-finite number or one beyond the float range: such a float (and
// such an element of a float or double array) is written as -1.
double BoundToFloatRange(double value)
{
    if (std::isnan(value) || value >= FLT_MAX || value <= -FLT_MAX)
        return -1.0;
    return value;
}

void WriteMatrix(SceneWriterState& state, const double* m)
{
    double p[16];
    PrintableMatrix(m, true, p);
    WritePlain(state, "%g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g",
               p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
               p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15]);
}

void WriteShader(SceneWriterState& state, const ShaderBuffer* buffer)
{
    // A shader value stands two blanks deep, whatever the indentation of its parameter.
    const std::int32_t saved = state.indent;
    state.indent = 2;
    InlineBuffer(state, buffer);
    state.indent = saved;
}

void WriteScalar(SceneWriterState& state, SceneValueType type, const void* value)
{
    const auto* f = static_cast<const float*>(value);
    const auto* d = static_cast<const double*>(value);
    const auto* i = static_cast<const std::int32_t*>(value);
    switch (type) {
    case SceneValueType::Float3:
        WritePlain(state, "%g %g %g", Printable(f[0]), Printable(f[1]), Printable(f[2]));
        break;
    case SceneValueType::Float4A:
    case SceneValueType::Float4B:
        WritePlain(state, "%g %g %g %g", Printable(f[0]), Printable(f[1]), Printable(f[2]),
                   Printable(f[3]));
        break;
    case SceneValueType::Float:
        WritePlain(state, "%g", BoundToFloatRange(f[0]));
        break;
    case SceneValueType::Double:
        WritePlain(state, "%16.16f", Printable(d[0]));
        break;
    case SceneValueType::Double3:
        WritePlain(state, "%g %g %g", Printable(d[0]), Printable(d[1]), Printable(d[2]));
        break;
    case SceneValueType::Int:
        WritePlain(state, "%d", static_cast<int>(i[0]));
        break;
    case SceneValueType::Bool:
        WritePlain(state, i[0] != 0 ? "on" : "off");
        break;
    case SceneValueType::Matrix:
        WriteMatrix(state, d);
        break;
    case SceneValueType::String:
    case SceneValueType::StringRef:
        WriteNameUnindented(state, static_cast<const char*>(value));
        break;
    case SceneValueType::Shader:
        WriteShader(state, static_cast<const ShaderBuffer*>(value));
        break;
    case SceneValueType::Float2:
        WritePlain(state, "%g %g", Printable(f[0]), Printable(f[1]));
        break;
    case SceneValueType::Int2:
        WritePlain(state, "%d %d", static_cast<int>(i[0]), static_cast<int>(i[1]));
        break;
    case SceneValueType::Int3:
        WritePlain(state, "%d %d %d", static_cast<int>(i[0]), static_cast<int>(i[1]),
                   static_cast<int>(i[2]));
        break;
    case SceneValueType::Int4:
        WritePlain(state, "%d %d %d %d", static_cast<int>(i[0]), static_cast<int>(i[1]),
                   static_cast<int>(i[2]), static_cast<int>(i[3]));
        break;
    default:
        break;
    }
}

bool HasArrayForm(SceneValueType type)
{
    switch (type) {
    case SceneValueType::Float3:
    case SceneValueType::Float:
    case SceneValueType::Double:
    case SceneValueType::Double3:
    case SceneValueType::Int:
    case SceneValueType::Bool:
    case SceneValueType::Matrix:
    case SceneValueType::String:
    case SceneValueType::StringRef:
        return true;
    default:
        return false;
    }
}

// Whole arrays of float triples, floats, doubles and int32 have a binary block form.
bool WriteBinaryArray(SceneWriterState& state, SceneValueType type, const SceneArray& array)
{
    switch (type) {
    case SceneValueType::Float3: {
        // The block counts scalars in 32 bits: an array too large for it is cut to what it holds.
        const std::uint32_t triples = array.count < UINT32_MAX / 3 ? array.count : UINT32_MAX / 3;
        WriteBinaryArrayBlock(state, BinaryKindFloat3, array.data, triples * 3, 4);
        return true;
    }
    case SceneValueType::Float:
        WriteBinaryArrayBlock(state, BinaryKindFloat, array.data, array.count, 4);
        return true;
    case SceneValueType::Double:
        WriteBinaryArrayBlock(state, BinaryKindDouble, array.data, array.count, 8);
        return true;
    case SceneValueType::Int:
        WriteBinaryArrayBlock(state, BinaryKindInt, array.data, array.count, 4);
        return true;
    default:
        return false;
    }
}

// One text element with its separator: "," between elements, " " after the last.
void WriteTextElement(SceneWriterState& state, SceneValueType type, const void* data,
                      std::size_t index, const char* separator)
{
    const auto* f = static_cast<const float*>(data);
    const auto* d = static_cast<const double*>(data);
    const auto* i = static_cast<const std::int32_t*>(data);
    switch (type) {
    case SceneValueType::Float3:
        WritePlain(state, "%g %g %g%s", Printable(f[3 * index]), Printable(f[3 * index + 1]),
                   Printable(f[3 * index + 2]), separator);
        break;
    case SceneValueType::Double3:
        WritePlain(state, "%g %g %g%s", Printable(d[3 * index]), Printable(d[3 * index + 1]),
                   Printable(d[3 * index + 2]), separator);
        break;
    case SceneValueType::Float:
        WritePlain(state, "%g%s", BoundToFloatRange(f[index]), separator);
        break;
    case SceneValueType::Double:
        WritePlain(state, "%16.16f%s", BoundToFloatRange(d[index]), separator);
        break;
    case SceneValueType::Int:
        WritePlain(state, "%d%s", static_cast<int>(i[index]), separator);
        break;
    case SceneValueType::Bool:
        WritePlain(state, "%d%s", i[index] != 0 ? 1 : 0, separator);
        break;
    default:
        break;
    }
}

// Numbers: the first line holds nine elements, each later line eight.
void WriteNumberArrayText(SceneWriterState& state, SceneValueType type, const SceneArray& array)
{
    for (std::size_t index = 0; index < array.count; ++index) {
        const bool last = index + 1 == array.count;
        WriteTextElement(state, type, array.data, index, last ? " " : ",");
        if (index > 0 && index % 8 == 0) {
            WritePlain(state, "\n");
            WriteIndentation(state);
        }
    }
}

// Names stand one to a line, unindented.
void WriteNameArrayText(SceneWriterState& state, const SceneArray& array)
{
    const auto* names = static_cast<const char* const*>(array.data);
    for (std::size_t index = 0; index < array.count; ++index) {
        const bool last = index + 1 == array.count;
        WriteNameUnindented(state, names[index]);
        WritePlain(state, "%s", last ? " " : ",");
        if (index > 0 && index % 8 == 0)
            WriteIndentation(state);
        WritePlain(state, "\n");
    }
}

// Matrices stand one to a line, in full double precision.
void WriteMatrixArrayText(SceneWriterState& state, const SceneArray& array)
{
    const auto* m = static_cast<const double*>(array.data);
    for (std::size_t index = 0; index < array.count; ++index, m += 16) {
        double p[16];
        PrintableMatrix(m, false, p);
        WriteIndentation(state);
        WritePlain(state, "%g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g ",
                   p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                   p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15]);
        WritePlain(state, index + 1 < array.count ? ",\n" : "\n");
    }
}

void WriteArray(SceneWriterState& state, SceneValueType type, const SceneArray* given)
{
    if (!HasArrayForm(type) || given == nullptr)
        return;
    // An array without data is written as an empty one rather than read through null.
    const SceneArray array = given->data != nullptr ? *given : SceneArray{nullptr, 0};
    WritePlain(state, "[ ");
    if (state.binaryArrays == 0 || !WriteBinaryArray(state, type, array)) {
        if (type == SceneValueType::String || type == SceneValueType::StringRef)
            WriteNameArrayText(state, array);
        else if (type == SceneValueType::Matrix)
            WriteMatrixArrayText(state, array);
        else
            WriteNumberArrayText(state, type, array);
    }
    WritePlain(state, "] ");
}

} // namespace

void NarrowMatrix(const double m[16], float out[16])
{
    for (int k = 0; k < 16; ++k)
        out[k] = static_cast<float>(m[k]);
}

void PrintableMatrix(const double m[16], bool narrow, double out[16])
{
    float f[16];
    if (narrow)
        NarrowMatrix(m, f);
    for (int k = 0; k < 16; ++k)
        out[k] = Printable(narrow ? f[k] : m[k]);
}

void WriteValue(SceneWriterState& state, SceneValueType type, const void* value)
{
    const auto code = static_cast<std::uint32_t>(type);
    if ((code & ArrayFlag) != 0)
        WriteArray(state, static_cast<SceneValueType>(code & ~ArrayFlag),
                   static_cast<const SceneArray*>(value));
    else if (value != nullptr)
        WriteScalar(state, type, value);
}
