// The output primitives of the scene file writer. Each decides where a piece of output goes:
// nowhere while the file is null; the current capture buffer in memory mode; else the file.
// Formatted writes (WriteIndented, WritePlain) flush the file after every call, also in memory
// mode; raw bytes and hexadecimal forms do not.
#pragma once

#include <cstddef>

#include "scene/scene_api.h"

struct SceneWriterState;

// printf-style text, indented: indent blanks first, and again after each line feed that has more
// text behind it in this call (a line feed at the very end brings none; the next call brings its
// own). The text and its indented copy are each cut at 1,048,575 characters.
void WriteIndented(SceneWriterState& state, const char* format, ...) VISTREL_PRINTF_FORMAT(2, 3);

// The indentation alone: WriteIndented of the empty text.
void WriteIndentation(SceneWriterState& state);

// printf-style text without indentation. In file mode it has no length limit; in memory mode it
// is cut at 1,048,575 characters.
void WritePlain(SceneWriterState& state, const char* format, ...) VISTREL_PRINTF_FORMAT(2, 3);

// Raw bytes; in memory mode they mark the capture buffer binary. A length of 0 writes nothing.
void WriteBytes(SceneWriterState& state, const void* data, std::size_t length);

// A name: in double quotes through WriteIndented (no escaping), or, when it holds a double
// quote, a carriage return, a line feed or a byte of 0x80 or above, as "xX" and two lower-case
// hexadecimal digits per byte, written raw and never indented. A null name writes nothing.
void WriteName(SceneWriterState& state, const char* name);

// WriteName with indent 0 for that one call: every name inside a line is written this way.
void WriteNameUnindented(SceneWriterState& state, const char* name);

// "bX" and two lower-case hexadecimal digits per byte, written raw; a length of 0 or less
// writes "bX" alone.
void WriteHexBlob(SceneWriterState& state, const void* data, int length);

// A capture buffer's content at the current place: a binary buffer byte for byte, a text
// buffer through WriteIndented (indented at the current indentation and after each line break).
// A null or empty buffer writes nothing.
void InlineBuffer(SceneWriterState& state, const ShaderBuffer* buffer);
