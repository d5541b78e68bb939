// The state record of the scene file writer: where output goes (the file, or the capture
// buffer of an anonymous shader), the indentation and parameter style, the open top-level
// block, the stacks that BeginShader and the blocks save their settings on, the binary array
// accumulator and the working buffers of the formatted output. The output primitives
// (scene/output_primitives.h) and the writer's operations (scene/scene_api_file.h) act on it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "scene/binary_array.h"
#include "scene/scene_api.h"
#include "scene/writer_stacks.h"

// Size of each working buffer; formatted text is cut to one byte less, for its zero byte.
constexpr std::size_t WorkingBufferSize = 1u << 20;
constexpr std::size_t MaxFormattedLength = WorkingBufferSize - 1;

struct SceneWriterState {
    // Makes the empty stacks and accumulator, then runs InitWriter: the numeric locale of the
    // whole process is "C" from here on. The record owns the file from now on; file may be
    // null, and then nothing is written while every operation still changes the state.
    SceneWriterState(FILE* file, bool binaryArrays);
    // Frees the working buffers, closes the file, puts the saved numeric locale back, then
    // frees every capture buffer and the stacks. Writes nothing.
    ~SceneWriterState();

    // Closes the file now, when there is one, and answers whether everything written reached
    // it: the C runtime saw no write error and the close (which flushes) succeeded. False when
    // there is no file. Nothing is written afterwards.
    bool CloseFile();

    SceneWriterState(const SceneWriterState&) = delete;
    SceneWriterState& operator=(const SceneWriterState&) = delete;

    WordStack savedIndents;                    // indentations saved by an anonymous BeginShader
    std::unique_ptr<WordStack> shaderBuffers;  // every ShaderBuffer made, above a null bottom entry
    std::unique_ptr<WordStack> savedBuffers;   // saved values of currentBuffer
    ByteStack savedMemoryModes;                // saved values of memoryMode
    ByteStack savedStyles;                     // saved values of paramStyle
    std::uint8_t memoryMode;                   // 1: output goes to currentBuffer, not the file
    ShaderBuffer* currentBuffer;               // the capture buffer of memory mode
    FILE* file;                                // flushed after each formatted write
    std::uint32_t objectFlags;                 // ObjectFlag bits of the open object
    std::int32_t indent;                       // blanks before each indented piece
    std::int32_t arrayCount;                   // elements written as text since BeginArray
    std::uint8_t paramStyle;                   // 1: bare name and line end; 0: quoted name and ","
    TopBlock openBlock;                        // the open top-level block
    std::uint8_t binaryArrays;                 // arrays as binary blocks where the kind allows
    std::uint8_t inGeometryDefinition;         // between BeginGeometryDefinition and EndGeometry
    char pendingKind;                          // kind letter of the words in accumulator
    BinaryAccumulator accumulator;             // binary words of an array given element by element
    std::uint32_t outputMode;                  // flags of the last SetOutputMode
    std::unique_ptr<char[]> formatBuffer;      // formatted text of one call
    std::unique_ptr<char[]> indentBuffer;      // its indented copy; also scratch for raw encodings
    std::unique_ptr<char[]> savedNumericLocale; // locale to restore at destruction, or null

private:
    void InitWriter(FILE* file, bool binaryArrays);
};
