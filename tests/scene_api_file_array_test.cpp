// Parameters and arrays of the scene file writer: whole arrays through SetParameter and arrays
// given element by element, as text and as binary array blocks.
#include "scene/scene_api_file.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/scene_test_file.h"

namespace {

class SceneFileParameters : public SceneWriterTest {
protected:
    explicit SceneFileParameters(bool binary = false) : SceneWriterTest(binary) {}

    // Opens a geometry block, where parameters take quoted names and end with ",".
    void OpenGeometry()
    {
        writer.BeginGeometry("triangles");
        file.Take();
    }
};

class SceneFileBinaryParameters : public SceneFileParameters {
protected:
    SceneFileBinaryParameters() : SceneFileParameters(true) {}
};

const std::string FloatOne = Bytes({0x00, 0x00, 0x80, 0x3F});
const std::string FloatTwo = Bytes({0x00, 0x00, 0x00, 0x40});

} // namespace

TEST_F(SceneFileParameters, StyleOneWritesTheBareNameAndStyleZeroQuotesItAtTheIndentation)
{
    writer.BeginCamera(nullptr);
    file.Take();
    const float fov = 55;
    EXPECT_TRUE(writer.SetParameter("fov", SceneValueType::Float, &fov));
    const double up[] = {0, 1, 0};
    writer.SetParameter("up", SceneValueType::Double3, up);
    EXPECT_EQ(file.Take(), "  fov 55\n  up 0 1 0\n");
    writer.EndCamera();
    OpenGeometry();
    writer.SetParameter("fov", SceneValueType::Float, &fov);
    EXPECT_EQ(file.Take(), "  \"fov\" 55,\n");
    writer.SetParameter("f\"v", SceneValueType::Float, &fov);
    EXPECT_EQ(file.Take(), "xX662276 55,\n");
}

TEST_F(SceneFileParameters, ValuesTakenThroughTheirPointerAndValuesWithoutAForm)
{
    OpenGeometry();
    const char* text = "uv";
    writer.SetParameter("s", SceneValueType::StringRef, &text);
    writer.SetParameter("t", SceneValueType::String, "direct");
    ShaderBuffer* none = nullptr;
    writer.SetParameter("u", SceneValueType::Shader, &none);
    EXPECT_EQ(file.Take(), "  \"s\" \"uv\",\n  \"t\" \"direct\",\n  \"u\" ,\n");
    const float f[4] = {1, 2, 3, 4};
    const SceneArray array{f, 1};
    EXPECT_TRUE(writer.SetParameter("x", SceneValueType::Float4A | SceneValueType::Array, &array));
    EXPECT_TRUE(writer.SetParameter("y", SceneValueType::Reserved12, f));
    EXPECT_EQ(file.Take(), "  \"x\" ,\n  \"y\" ,\n");
}

TEST_F(SceneFileParameters, FloatTriplesStandTwoToALineAndOtherElementsSix)
{
    OpenGeometry();
    EXPECT_TRUE(writer.BeginArray("v"));
    for (int k = 0; k < 5; ++k) {
        const float f[] = {3.0f * k + 1, 3.0f * k + 2, 3.0f * k + 3};
        writer.AddArrayElement(SceneValueType::Float3, f);
    }
    writer.EndArray();
    EXPECT_EQ(file.Take(), "  \"v\" [\n    1 2 3, 4 5 6,\n    7 8 9, 10 11 12,\n    13 14 15 ],\n");
    EXPECT_EQ(writer.State().indent, 2);
    EXPECT_EQ(writer.State().arrayCount, 5);
    writer.BeginArray("t");
    for (std::int32_t k = 1; k <= 7; ++k)
        writer.AddArrayElement(SceneValueType::Int, &k);
    writer.EndArray();
    EXPECT_EQ(file.Take(), "  \"t\" [\n    1, 2, 3, 4, 5, 6,\n    7 ],\n");
}

TEST_F(SceneFileParameters, AnimationArraysOfMatricesAndTimes)
{
    writer.BeginAnimation("matrix", "a");
    file.Take();
    double m[16] = {};
    m[0] = m[5] = m[10] = m[15] = 1;
    writer.BeginArray("matrices");
    writer.AddArrayElement(SceneValueType::Matrix, m);
    writer.AddArrayElement(SceneValueType::Matrix, m);
    writer.EndArray();
    writer.BeginArray("times");
    for (double t : {0.0, 0.04})
        writer.AddArrayElement(SceneValueType::Double, &t);
    writer.EndArray();
    EXPECT_EQ(file.Take(), "  \"matrices\" [\n"
                           "    1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1, 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ],\n"
                           "  \"times\" [\n"
                           "    0.0000000000000000, 0.0400000000000000 ],\n");
}

TEST_F(SceneFileParameters, ElementsTakenThroughPointersAndNamesAtTheIndentation)
{
    OpenGeometry();
    writer.BeginArray("n\xE9");
    const char* a = "a";
    writer.AddArrayElement(SceneValueType::StringRef, &a);
    writer.AddArrayElement(SceneValueType::String, "b");
    writer.EndArray();
    EXPECT_EQ(file.Take(), "xX6ee9 [\n    \"a\", \"b\" ],\n");
}

TEST_F(SceneFileBinaryParameters, FloatTripleElementsBecomeOneBlockAfterTheIndentation)
{
    OpenGeometry();
    writer.BeginArray("v");
    const float a[] = {1, 2, 1};
    const float b[] = {2, 2, 1};
    writer.AddArrayElement(SceneValueType::Float3, a);
    writer.AddArrayElement(SceneValueType::Float3, b);
    EXPECT_EQ(writer.State().arrayCount, 0);
    EXPECT_EQ(writer.State().accumulator.count, 6);
    EXPECT_EQ(writer.State().pendingKind, 'c');
    writer.EndArray();
    EXPECT_EQ(file.Take(), "  \"v\" [\n    " +
                               Bytes({0x01, 0x02, 0x03, 0x63, 0x06, 0x00, 0x00, 0x00}) +
                               FloatOne + FloatTwo + FloatOne + FloatTwo + FloatTwo + FloatOne +
                               " ],\n");
    EXPECT_EQ(writer.State().accumulator.count, 0);
}

TEST_F(SceneFileBinaryParameters, FloatAndIntElementsHaveTheirKindsAndAnEmptyArrayNoBlock)
{
    writer.BeginArray("f");
    const float f = 2;
    writer.AddArrayElement(SceneValueType::Float, &f);
    writer.EndArray();
    writer.BeginArray("i");
    const std::int32_t i = -1;
    writer.AddArrayElement(SceneValueType::Int, &i);
    writer.EndArray();
    EXPECT_EQ(file.Take(), "\"f\" [\n  " + Bytes({0x01, 0x02, 0x03, 0x66, 1, 0, 0, 0}) +
                               FloatTwo + " ],\n\"i\" [\n  " +
                               Bytes({0x01, 0x02, 0x03, 0x69, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) +
                               " ],\n");
    writer.BeginArray("e");
    writer.EndArray();
    EXPECT_EQ(file.Take(), "\"e\" [\n   ],\n");
}

TEST_F(SceneFileBinaryParameters, DoubleAndDoubleTripleElementsStayText)
{
    writer.BeginArray("p");
    const double a[] = {1, 2, 3};
    const double b[] = {4, 5, 6};
    writer.AddArrayElement(SceneValueType::Double3, a);
    writer.AddArrayElement(SceneValueType::Double3, b);
    writer.AddArrayElement(SceneValueType::Double, a);
    writer.EndArray();
    EXPECT_EQ(file.Take(), "\"p\" [\n  1 2 3, 4 5 6, 1.0000000000000000 ],\n");
}

TEST_F(SceneFileBinaryParameters, BeginArrayForgetsWordsOfAnUnfinishedArray)
{
    writer.BeginArray("a");
    const std::int32_t i = 9;
    writer.AddArrayElement(SceneValueType::Int, &i);
    writer.BeginArray("b");
    writer.AddArrayElement(SceneValueType::Int, &i);
    EXPECT_EQ(writer.State().accumulator.count, 1);
}

TEST_F(SceneFileBinaryParameters, MeshArraysWrittenWholeAreBinaryBlocks)
{
    writer.BeginObject("o", true);
    writer.BeginGeometry("triangles");
    file.Take();
    const float uv[] = {0.5f};
    const SceneArray array{uv, 1};
    writer.SetParameter("uv_tex", SceneValueType::Float | SceneValueType::Array, &array);
    EXPECT_EQ(file.Take(), "    \"uv_tex\" [ " +
                               Bytes({0x01, 0x02, 0x03, 0x66, 1, 0, 0, 0, 0x00, 0x00, 0x00, 0x3F}) +
                               "] ,\n");
}
