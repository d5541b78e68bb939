#include "scene/scene_value.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "scene/scene_writer_state.h"
#include "scene/shader_buffer.h"
#include "tests/scene_test_file.h"

namespace {

class SceneValueText : public ::testing::Test {
protected:
    std::string Value(SceneValueType type, const void* value)
    {
        WriteValue(state, type, value);
        return file.Take();
    }

    std::string Array(SceneValueType type, const void* data, std::uint32_t count)
    {
        const SceneArray array{data, count};
        return Value(type | SceneValueType::Array, &array);
    }

    SceneTestFile file;
    SceneWriterState state{file.get(), false};
};

const float Nan = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST_F(SceneValueText, VectorsIntegersAndBoolsAreWrittenWithGAndD)
{
    const float f[] = {1.0f, 2.5f, -3.0f, 0.1f};
    EXPECT_EQ(Value(SceneValueType::Float3, f), "1 2.5 -3");
    EXPECT_EQ(Value(SceneValueType::Float4A, f), "1 2.5 -3 0.1");
    EXPECT_EQ(Value(SceneValueType::Float4B, f), "1 2.5 -3 0.1");
    EXPECT_EQ(Value(SceneValueType::Float2, f), "1 2.5");
    const double d[] = {0.5, 1.0, 2e-7};
    const std::int32_t i[] = {-7, 0, 2147483647, -2147483647 - 1};
    EXPECT_EQ(Value(SceneValueType::Double3, d), "0.5 1 2e-07");
    EXPECT_EQ(Value(SceneValueType::Int, i), "-7");
    EXPECT_EQ(Value(SceneValueType::Int2, i), "-7 0");
    EXPECT_EQ(Value(SceneValueType::Int3, i), "-7 0 2147483647");
    EXPECT_EQ(Value(SceneValueType::Int4, i), "-7 0 2147483647 -2147483648");
    EXPECT_EQ(Value(SceneValueType::Bool, &i[0]), "on");
    EXPECT_EQ(Value(SceneValueType::Bool, &i[1]), "off");
}

TEST_F(SceneValueText, FloatOutsideTheFloatRangeOrNanIsMinusOne)
{
    const float values[] = {0.1f, 1e-30f, std::nextafter(FLT_MAX, 0.0f)};
    EXPECT_EQ(Value(SceneValueType::Float, &values[0]), "0.1");
    EXPECT_EQ(Value(SceneValueType::Float, &values[1]), "1e-30");
    EXPECT_EQ(Value(SceneValueType::Float, &values[2]), "3.40282e+38");
    const float outside[] = {Nan, FLT_MAX, -FLT_MAX, std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity()};
    for (const float& value : outside)
        EXPECT_EQ(Value(SceneValueType::Float, &value), "-1") << value;
}

TEST_F(SceneValueText, DoubleIsFixedPointWith16DecimalsAndNoBound)
{
    const double values[] = {1.5, -0.25, 1e300};
    EXPECT_EQ(Value(SceneValueType::Double, &values[0]), "1.5000000000000000");
    EXPECT_EQ(Value(SceneValueType::Double, &values[1]), "-0.2500000000000000");
    EXPECT_EQ(Value(SceneValueType::Double, &values[2]),
              "10000000000000000525047602552044202487044685811081591549158541155118024579889081"
              "95786371375080447864043704443832883878176942523235360430575644792184786706982848"
              "38720092657580373783023379478809005936895323497079994508111903896764088007465274"
              "2780142494579258788820056842838115669472196386865459400540160.0000000000000000");
}

TEST_F(SceneValueText, NanIsWrittenWithoutItsSignAndInfinityAsInf)
{
    const float f[] = {-Nan, Nan, -std::numeric_limits<float>::infinity()};
    EXPECT_EQ(Value(SceneValueType::Float3, f), "nan nan -inf");
    const double d[] = {-static_cast<double>(Nan), std::numeric_limits<double>::infinity(), 0};
    EXPECT_EQ(Value(SceneValueType::Double3, d), "nan inf 0");
    EXPECT_EQ(Value(SceneValueType::Double, d), "             nan");
    EXPECT_EQ(Array(SceneValueType::Float3, f, 1), "[ nan nan -inf ] ");
    double m[16] = {};
    m[3] = -static_cast<double>(Nan);
    EXPECT_EQ(Value(SceneValueType::Matrix, m), "0 0 0 nan 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(Array(SceneValueType::Matrix, m, 1), "[ 0 0 0 nan 0 0 0 0 0 0 0 0 0 0 0 0 \n] ");
}

TEST_F(SceneValueText, MatrixIsRoundedToSinglePrecision)
{
    double m[16] = {};
    m[0] = 1e-46; // below the smallest float: rounds to 0
    m[1] = 0.1;
    m[5] = -2.0;
    m[15] = 1.0;
    EXPECT_EQ(Value(SceneValueType::Matrix, m), "0 0.1 0 0 0 -2 0 0 0 0 0 0 0 0 0 1");
}

TEST_F(SceneValueText, StringsAreNamesWithoutIndentation)
{
    state.indent = 4;
    EXPECT_EQ(Value(SceneValueType::String, "startup.hdr"), "\"startup.hdr\"");
    EXPECT_EQ(Value(SceneValueType::StringRef, "a\"b"), "xX612262");
    EXPECT_EQ(state.indent, 4);
}

TEST_F(SceneValueText, ShaderIsInlinedTwoBlanksDeepWhateverTheIndentation)
{
    ShaderBuffer* buffer = NewShaderBuffer();
    PushPointer(*state.shaderBuffers, buffer);
    AppendToBuffer(buffer, "\"t\" {\n  \"a\" 1,\n}", 0);
    state.indent = 6;
    EXPECT_EQ(Value(SceneValueType::Shader, buffer), "  \"t\" {\n    \"a\" 1,\n  }");
    EXPECT_EQ(state.indent, 6);
    EXPECT_EQ(Value(SceneValueType::Shader, nullptr), "");
}

TEST_F(SceneValueText, CodesWithoutAValueFormWriteNothing)
{
    const double data[16] = {1, 2, 3, 4};
    for (std::uint32_t code : {0u, 8u, 12u, 19u, 0x7FFFu, 0x10001u})
        EXPECT_EQ(Value(static_cast<SceneValueType>(code), data), "") << code;
    for (SceneValueType type : {SceneValueType::Float4A, SceneValueType::Float4B,
                                SceneValueType::Float2, SceneValueType::Int2, SceneValueType::Int3,
                                SceneValueType::Int4, SceneValueType::Shader,
                                SceneValueType::Reserved8, SceneValueType::Reserved12})
        EXPECT_EQ(Array(type, data, 1), "") << static_cast<int>(type);
}

TEST_F(SceneValueText, FloatAndDoubleArraysSeparateWithCommasAndEndWithABlankEvenEmpty)
{
    const float f[] = {1, 2, 3};
    EXPECT_EQ(Array(SceneValueType::Float, f, 3), "[ 1,2,3 ] ");
    EXPECT_EQ(Array(SceneValueType::Float, f, 0), "[ ] ");
    const float outside[] = {Nan, std::numeric_limits<float>::infinity(), -FLT_MAX};
    EXPECT_EQ(Array(SceneValueType::Float, outside, 3), "[ -1,-1,-1 ] ");
    EXPECT_EQ(Array(SceneValueType::Int, nullptr, 5), "[ ] ");
    EXPECT_EQ(Value(SceneValueType::Int | SceneValueType::Array, nullptr), "");
    // Doubles are bounded in an array as floats are.
    const double d[] = {0.5, 1e300, -1e39, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(Array(SceneValueType::Double, d, 4),
              "[ 0.5000000000000000,-1.0000000000000000,-1.0000000000000000,"
              "-1.0000000000000000 ] ");
}

TEST_F(SceneValueText, NumberArrayBreaksAfterNineThenEveryEightElements)
{
    std::int32_t n[17];
    for (int i = 0; i < 17; ++i)
        n[i] = i + 1;
    state.indent = 2;
    EXPECT_EQ(Array(SceneValueType::Int, n, 10), "[ 1,2,3,4,5,6,7,8,9,\n  10 ] ");
    // The seventeenth element ends the second line: its line break comes before the bracket.
    EXPECT_EQ(Array(SceneValueType::Int, n, 17),
              "[ 1,2,3,4,5,6,7,8,9,\n  10,11,12,13,14,15,16,17 \n  ] ");
    EXPECT_EQ(Array(SceneValueType::Int, n, 9), "[ 1,2,3,4,5,6,7,8,9 \n  ] ");
}

TEST_F(SceneValueText, TripleAndBoolArraysAreText)
{
    const float f[] = {1, 2, 3, 4, 5, 6.5f};
    const double d[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Array(SceneValueType::Float3, f, 2), "[ 1 2 3,4 5 6.5 ] ");
    EXPECT_EQ(Array(SceneValueType::Double3, d, 2), "[ 1 2 3,4 5 6 ] ");
    const std::int32_t b[] = {3, 0, 7};
    EXPECT_EQ(Array(SceneValueType::Bool, b, 3), "[ 1,0,1 ] ");
    state.binaryArrays = 1; // no binary form for bools
    EXPECT_EQ(Array(SceneValueType::Bool, b, 3), "[ 1,0,1 ] ");
}

TEST_F(SceneValueText, StringArrayPutsEveryNameOnItsOwnLineBlanksBeforeTheNinthBreak)
{
    const char* names[] = {"a", "b"};
    state.indent = 4;
    EXPECT_EQ(Array(SceneValueType::String, names, 2), "[ \"a\",\n\"b\" \n] ");
    EXPECT_EQ(Array(SceneValueType::StringRef, names, 2), "[ \"a\",\n\"b\" \n] ");
    const char* ten[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9\xE9"};
    state.indent = 2;
    EXPECT_EQ(Array(SceneValueType::String, ten, 10),
              "[ \"0\",\n\"1\",\n\"2\",\n\"3\",\n\"4\",\n\"5\",\n\"6\",\n\"7\",\n\"8\",  \n"
              "xX39e9 \n] ");
}

TEST_F(SceneValueText, MatrixArrayWritesOneUnroundedMatrixPerLine)
{
    double m[32] = {};
    m[0] = 1e-46;
    m[15] = 1;
    m[16] = 2;
    m[31] = 0.5;
    state.indent = 2;
    EXPECT_EQ(Array(SceneValueType::Matrix, m, 2),
              "[   1e-46 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 ,\n"
              "  2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0.5 \n] ");
}
