#include "scene/output_primitives.h"

#include <string>

#include <gtest/gtest.h>

#include "scene/scene_writer_state.h"
#include "scene/shader_buffer.h"
#include "tests/scene_test_file.h"

namespace {

// A buffer registered with the state, which frees every registered buffer when it goes.
ShaderBuffer* RegisteredBuffer(SceneWriterState& state)
{
    ShaderBuffer* buffer = NewShaderBuffer();
    PushPointer(*state.shaderBuffers, buffer);
    return buffer;
}

// Output from now on captured into a new registered buffer.
ShaderBuffer* StartCapture(SceneWriterState& state)
{
    ShaderBuffer* buffer = RegisteredBuffer(state);
    state.currentBuffer = buffer;
    state.memoryMode = 1;
    return buffer;
}

// A writer state on a temporary file.
class OutputPrimitives : public ::testing::Test {
protected:
    static std::string Content(const ShaderBuffer* buffer)
    {
        return buffer->data ? std::string(buffer->data, buffer->length) : std::string();
    }

    SceneTestFile file;
    SceneWriterState state{file.get(), false};
};

} // namespace

TEST_F(OutputPrimitives, IndentedCallsBringTheirOwnIndentationPlainOnesNone)
{
    state.indent = 2;
    WriteIndented(state, "a\nb\n");
    EXPECT_EQ(file.Take(), "  a\n  b\n");
    WriteIndented(state, "%s", "");
    EXPECT_EQ(file.Take(), "  ");
    WriteIndented(state, "\n%s\n\nx", "w");
    EXPECT_EQ(file.Take(), "  \n  w\n  \n  x");
    WriteIndentation(state);
    EXPECT_EQ(file.Take(), "  ");
    state.indent = -4;
    WriteIndented(state, "a\nb");
    EXPECT_EQ(file.Take(), "a\nb");
    state.indent = 4;
    WritePlain(state, "%d\n%s", 12, "x");
    EXPECT_EQ(file.Take(), "12\nx");
}

TEST_F(OutputPrimitives, IndentedOrCapturedTextIsCutAtTheWorkingBufferSize)
{
    const std::string longText(WorkingBufferSize + 100, 'a');
    state.indent = 4;
    WriteIndented(state, "%s", longText.c_str());
    EXPECT_EQ(file.Take(), "    " + longText.substr(0, MaxFormattedLength - 4));

    // Each line feed brings 1000 blanks: the indented copy overflows long before the text ends.
    state.indent = 1000;
    const std::string lines(4000, '\n');
    WriteIndented(state, "%s", lines.c_str());
    const std::string out = file.Take();
    EXPECT_EQ(out.size(), MaxFormattedLength);
    EXPECT_EQ(out.substr(0, 1002), std::string(1000, ' ') + "\n" + " ");

    // Plain text has no limit on its way to the file, but is cut on its way into a capture.
    WritePlain(state, "%s", longText.c_str());
    EXPECT_EQ(file.Take(), longText);

    ShaderBuffer* buffer = StartCapture(state);
    WritePlain(state, "%s", longText.c_str());
    EXPECT_EQ(Content(buffer), longText.substr(0, MaxFormattedLength));
    EXPECT_EQ(file.Take(), "");
}

TEST_F(OutputPrimitives, QuotedNamesAreIndentedAndNotEscapedOthersHexadecimal)
{
    state.indent = 2;
    // Names with quotes, line breaks or high bytes are hexadecimal, and never indented.
    const struct {
        const char* name;
        const char* written;
    } names[] = {{"", "  \"\""}, {"a\tb\\c", "  \"a\tb\\c\""}, {"a\"b", "xX612262"},
                 {"\xE9t\xE9", "xXe974e9"}, {"\r", "xX0d"}, {"1\n", "xX310a"},
                 {"\x80", "xX80"},  // the first byte that a quoted name cannot carry
                 {"\x7F", "  \"\x7F\""}, {nullptr, ""}};
    for (const auto& n : names) {
        WriteName(state, n.name);
        EXPECT_EQ(file.Take(), n.written);
    }
    WriteNameUnindented(state, "n");
    EXPECT_EQ(file.Take(), "\"n\"");
    EXPECT_EQ(state.indent, 2);
}

TEST_F(OutputPrimitives, LongHexadecimalNameIsWrittenWholeALongQuotedOneCut)
{
    // Two hexadecimal digits a byte: more than the working buffer holds in one piece.
    std::string name(700000, 'A');
    name[0] = '\xAB';
    WriteName(state, name.c_str());
    std::string expected = "xXab";
    for (std::size_t i = 1; i < name.size(); ++i)
        expected += "41";
    EXPECT_EQ(file.Take(), expected);
    const std::string quoted(WorkingBufferSize, 'n');
    WriteNameUnindented(state, quoted.c_str());
    EXPECT_EQ(file.Take(), "\"" + quoted.substr(0, MaxFormattedLength - 1));
}

TEST_F(OutputPrimitives, HexBlobAndRawBytesGoToTheFileUnindented)
{
    state.indent = 6;
    const unsigned char bytes[] = {0x0A, 0xFF, 0x00};
    WriteHexBlob(state, bytes, 3);
    EXPECT_EQ(file.Take(), "bX0aff00");
    WriteHexBlob(state, bytes, 0);
    WriteHexBlob(state, bytes, -5);
    EXPECT_EQ(file.Take(), "bXbX");
    state.indent = 2;
    WriteBytes(state, "a\0b", 3);
    WriteBytes(state, "zz", 0);
    EXPECT_EQ(file.Take(), std::string("a\0b", 3));
}

TEST_F(OutputPrimitives, CapturedTextStaysTextUntilRawBytesArrive)
{
    ShaderBuffer* buffer = StartCapture(state);
    state.indent = 2;
    WriteIndented(state, "a\n");
    WritePlain(state, "b");
    EXPECT_EQ(buffer->isBinary, 0);
    WriteNameUnindented(state, "\xE9");
    EXPECT_EQ(buffer->isBinary, 1);
    EXPECT_EQ(Content(buffer), "  a\nbxXe9");
    EXPECT_EQ(file.Take(), "");
}

TEST_F(OutputPrimitives, TextBufferIsInlinedIndentedBinaryBufferRawAndEmptyNothing)
{
    ShaderBuffer* text = RegisteredBuffer(state);
    AppendToBuffer(text, "\"t\" {\n  \"a\" 1,\n}", 0);
    state.indent = 2;
    InlineBuffer(state, text);
    EXPECT_EQ(file.Take(), "  \"t\" {\n    \"a\" 1,\n  }");

    ShaderBuffer* binary = RegisteredBuffer(state);
    AppendToBuffer(binary, "x\ny", 3);
    InlineBuffer(state, binary);
    EXPECT_EQ(file.Take(), "x\ny");
    state.indent = 2;
    InlineBuffer(state, RegisteredBuffer(state));
    InlineBuffer(state, nullptr);
    EXPECT_EQ(file.Take(), "");
}

TEST_F(OutputPrimitives, CaptureBufferCanBeInlinedIntoItself)
{
    ShaderBuffer* buffer = StartCapture(state);
    AppendToBuffer(buffer, "ab", 2);
    for (int i = 0; i < 9; ++i)
        InlineBuffer(state, buffer);
    EXPECT_EQ(buffer->length, 2 * 512);
}

TEST(OutputPrimitivesWithoutFile, NothingIsWrittenAnywhere)
{
    SceneWriterState state(nullptr, true);
    ShaderBuffer* buffer = StartCapture(state);
    WriteIndented(state, "a");
    WritePlain(state, "b");
    WriteBytes(state, "c", 1);
    WriteName(state, "\xE9");
    WriteHexBlob(state, "d", 1);
    EXPECT_EQ(buffer->length, 0);
    EXPECT_EQ(buffer->data, nullptr);
}

TEST_F(OutputPrimitives, MemoryModeWithoutACurrentBufferDropsTheOutput)
{
    state.memoryMode = 1;
    state.currentBuffer = nullptr;
    WriteIndented(state, "a");
    WritePlain(state, "b");
    WriteName(state, "\xE9");
    EXPECT_EQ(file.Take(), "");
}
