// Typed parameter values as the scene language writes them: each SceneValueType as text, and
// arrays (the Array flag) as text or as binary array blocks.
#pragma once

#include <cmath>

#include "scene/scene_api.h"

struct SceneWriterState;

// Writes one value, unindented (WritePlain) unless a form says otherwise. value is the text for
// String and StringRef, the ShaderBuffer for Shader, a SceneArray for an array code, and a
// pointer to the data for every other code. Codes without a value form write nothing, and an
// array code without one writes nothing at all, not even the brackets.
void WriteValue(SceneWriterState& state, SceneValueType type, const void* value);

// Rounds 16 doubles to single precision, in order.
void NarrowMatrix(const double m[16], float out[16]);

// A number as the writer hands it to printf. A NaN loses its sign: the C runtimes of the Linux and
// Windows builds write a negative NaN differently ("-nan", "nan") and a positive one alike.
inline double Printable(double value)
{
    return std::isnan(value) ? std::fabs(value) : value;
}

// The 16 numbers of a matrix ready for printf, rounded to single precision first when narrow.
void PrintableMatrix(const double m[16], bool narrow, double out[16]);
