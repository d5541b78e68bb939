#include "scene/binary_array.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/scene_value.h"
#include "scene/scene_writer_state.h"
#include "scene/shader_buffer.h"
#include "tests/scene_test_file.h"

namespace {

class BinaryArray : public ::testing::Test {
protected:
    std::string Array(SceneValueType type, const void* data, std::uint32_t count)
    {
        const SceneArray array{data, count};
        WriteValue(state, type | SceneValueType::Array, &array);
        return file.Take();
    }

    SceneTestFile file;
    SceneWriterState state{file.get(), true};
};

// Little-endian bytes of a 32-bit value, worked out from the value itself.
std::string Le32(std::uint32_t v)
{
    return Bytes({static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                  static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)});
}

} // namespace

TEST_F(BinaryArray, FloatTriplesCountThreeScalarsPerTriple)
{
    const float f[] = {1.0f, 2.0f, -2.5f, 0.5f, 3.0f, 4.0f};
    EXPECT_EQ(Array(SceneValueType::Float3, f, 2),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x63, 0x06, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40,
                            0x00, 0x00, 0x20, 0xC0, 0x00, 0x00, 0x00, 0x3F,
                            0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x80, 0x40}) + "] ");
}

TEST_F(BinaryArray, FloatsDoublesAndIntsHaveTheirOwnKindsAndEmptyArraysACountOfZero)
{
    const float f[] = {1.0f};
    EXPECT_EQ(Array(SceneValueType::Float, f, 1),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x66, 0x01, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F}) + "] ");
    const double d[] = {1.0, -2.0};
    EXPECT_EQ(Array(SceneValueType::Double, d, 2),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x72, 0x02, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0}) + "] ");
    const std::int32_t i[] = {1, -2, 0x01020304};
    EXPECT_EQ(Array(SceneValueType::Int, i, 3),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x69, 0x03, 0, 0, 0, 0x01, 0, 0, 0,
                            0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}) + "] ");
    // Floats are not bounded in binary form.
    const float infinity[] = {-std::numeric_limits<float>::infinity()};
    EXPECT_EQ(Array(SceneValueType::Float, infinity, 1),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x66, 0x01, 0, 0, 0, 0x00, 0x00, 0x80, 0xFF}) + "] ");
    // An empty array is the tag and a count of zero.
    EXPECT_EQ(Array(SceneValueType::Int, nullptr, 0),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x69, 0, 0, 0, 0}) + "] ");
}

TEST_F(BinaryArray, OtherArraysStayTextWhenBinaryIsOn)
{
    const double d[] = {1, 2, 3};
    EXPECT_EQ(Array(SceneValueType::Double3, d, 1), "[ 1 2 3 ] ");
    const char* names[] = {"a"};
    EXPECT_EQ(Array(SceneValueType::String, names, 1), "[ \"a\" \n] ");
}

// The conversion that a machine of another byte order uses, run here too: more scalars than one
// working buffer converts at a time, each byte of a word and of the last double distinct.
TEST_F(BinaryArray, ConvertedWordsAndDoublesCrossChunksByteForByte)
{
    std::vector<std::uint32_t> values(300001);
    std::string expected;
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = static_cast<std::uint32_t>(k * 2654435761u);
        expected += Le32(values[k]);
    }
    WriteConvertedScalars(state, values.data(), 300001, 4);
    EXPECT_EQ(file.Take(), expected);
    std::vector<double> doubles(140000, -2.0); // 0xC000000000000000
    const std::uint64_t distinct = 0x0102030405060708ull;
    std::memcpy(&doubles.back(), &distinct, 8);
    WriteConvertedScalars(state, doubles.data(), 140000, 8);
    const std::string out = file.Take();
    ASSERT_EQ(out.size(), 140000u * 8);
    EXPECT_EQ(out.substr(131071 * 8, 16), Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0,
                                                0, 0, 0, 0, 0, 0, 0, 0xC0}));
    EXPECT_EQ(out.substr(139999 * 8, 8), Bytes({0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}));
}

TEST_F(BinaryArray, CapturedBlockMarksTheBufferBinary)
{
    ShaderBuffer* buffer = NewShaderBuffer();
    PushPointer(*state.shaderBuffers, buffer);
    state.currentBuffer = buffer;
    state.memoryMode = 1;
    const std::int32_t i[] = {5};
    EXPECT_EQ(Array(SceneValueType::Int, i, 1), "");
    EXPECT_EQ(buffer->isBinary, 1);
    EXPECT_EQ(std::string(buffer->data, buffer->length),
              "[ " + Bytes({0x01, 0x02, 0x03, 0x69, 1, 0, 0, 0, 5, 0, 0, 0}) + "] ");
}

TEST(BinaryAccumulatorGrowth, GrowsByCountPlusCapacityPlus65536Words)
{
    BinaryAccumulator accumulator;
    for (std::uint32_t w = 0; w < 65537; ++w)
        AppendBinaryWord(accumulator, &w);
    EXPECT_EQ(accumulator.capacity, 65536 + 65536 + 65536);
    EXPECT_EQ(accumulator.count, 65537);
    EXPECT_EQ(accumulator.data[0], 0u);
    EXPECT_EQ(accumulator.data[65536], 65536u);
}
