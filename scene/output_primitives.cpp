#include "scene/output_primitives.h"

#include <cstdarg>
#include <cstring>
#include <new>

#include "scene/scene_writer_state.h"
#include "scene/shader_buffer.h"

namespace {

// Appends up to indent blanks, as many as fit below the cut.
std::size_t AppendBlanks(char* out, std::size_t used, std::int32_t indent)
{
    const std::size_t wanted = indent > 0 ? static_cast<std::size_t>(indent) : 0;
    const std::size_t room = MaxFormattedLength - used;
    const std::size_t blanks = wanted < room ? wanted : room;
    std::memset(out + used, ' ', blanks);
    return used + blanks;
}

// Copies text into out with the indentation before it and after each inner line feed; cut at
// MaxFormattedLength characters and zero-terminated. Answers the length.
std::size_t IndentText(const char* text, std::int32_t indent, char* out)
{
    std::size_t used = AppendBlanks(out, 0, indent);
    while (*text != '\0' && used < MaxFormattedLength) {
        const char* lineFeed = std::strchr(text, '\n');
        std::size_t piece = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - text) + 1
                                                : std::strlen(text);
        if (piece > MaxFormattedLength - used)
            piece = MaxFormattedLength - used;
        std::memcpy(out + used, text, piece);
        used += piece;
        text += piece;
        if (out[used - 1] == '\n' && *text != '\0')
            used = AppendBlanks(out, used, indent);
    }
    out[used] = '\0';
    return used;
}

// Formats into the format buffer, cut at MaxFormattedLength characters.
void FormatInto(SceneWriterState& state, const char* format, va_list args)
{
    if (std::vsnprintf(state.formatBuffer.get(), WorkingBufferSize, format, args) < 0)
        state.formatBuffer[0] = '\0';
}

void WriteIndentedV(SceneWriterState& state, const char* format, va_list args)
{
    if (state.file == nullptr)
        return;
    FormatInto(state, format, args);
    const std::size_t length =
        IndentText(state.formatBuffer.get(), state.indent, state.indentBuffer.get());
    if (state.memoryMode != 0)
        AppendToBuffer(state.currentBuffer, state.indentBuffer.get(), 0);
    else
        std::fwrite(state.indentBuffer.get(), 1, length, state.file);
    std::fflush(state.file);
}

void WritePlainV(SceneWriterState& state, const char* format, va_list args)
{
    if (state.file == nullptr)
        return;
    if (state.memoryMode != 0) {
        FormatInto(state, format, args);
        AppendToBuffer(state.currentBuffer, state.formatBuffer.get(), 0);
    } else {
        std::vfprintf(state.file, format, args);
    }
    std::fflush(state.file);
}

// prefix and two lower-case hexadecimal digits per byte, encoded in the indent buffer a chunk at
// a time so that any length fits.
void WriteHex(SceneWriterState& state, const char* prefix, const unsigned char* bytes,
              std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    if (state.file == nullptr)
        return;
    char* out = state.indentBuffer.get();
    out[0] = prefix[0];
    out[1] = prefix[1];
    std::size_t used = 2;
    for (std::size_t i = 0; i < length; ++i) {
        if (used + 2 > WorkingBufferSize) {
            WriteBytes(state, out, used);
            used = 0;
        }
        out[used++] = digits[bytes[i] >> 4];
        out[used++] = digits[bytes[i] & 0xF];
    }
    WriteBytes(state, out, used);
}

// Bytes that a quoted name cannot carry.
bool NeedsHexName(const char* name)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
        if (*p == '"' || *p == '\r' || *p == '\n' || *p >= 0x80)
            return true;
    }
    return false;
}

} // namespace

void WriteIndented(SceneWriterState& state, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteIndentedV(state, format, args);
    va_end(args);
}

void WriteIndentation(SceneWriterState& state)
{
    WriteIndented(state, "%s", "");
}

void WritePlain(SceneWriterState& state, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WritePlainV(state, format, args);
    va_end(args);
}

void WriteBytes(SceneWriterState& state, const void* data, std::size_t length)
{
    if (state.file == nullptr || length == 0)
        return;
    if (state.memoryMode != 0) {
        if (length > static_cast<std::size_t>(INT32_MAX))
            throw std::bad_alloc();
        AppendToBuffer(state.currentBuffer, data, static_cast<std::int32_t>(length));
    } else {
        std::fwrite(data, 1, length, state.file);
    }
}

void WriteName(SceneWriterState& state, const char* name)
{
    if (name == nullptr)
        return;
    if (NeedsHexName(name))
        WriteHex(state, "xX", reinterpret_cast<const unsigned char*>(name), std::strlen(name));
    else
        WriteIndented(state, "\"%s\"", name);
}

void WriteNameUnindented(SceneWriterState& state, const char* name)
{
    const std::int32_t saved = state.indent;
    state.indent = 0;
    WriteName(state, name);
    state.indent = saved;
}

void WriteHexBlob(SceneWriterState& state, const void* data, int length)
{
    const std::size_t count = length > 0 && data != nullptr ? static_cast<std::size_t>(length) : 0;
    WriteHex(state, "bX", static_cast<const unsigned char*>(data), count);
}

void InlineBuffer(SceneWriterState& state, const ShaderBuffer* buffer)
{
    if (buffer == nullptr || buffer->data == nullptr || buffer->length <= 0)
        return;
    if (buffer->isBinary != 0)
        WriteBytes(state, buffer->data, static_cast<std::size_t>(buffer->length));
    else
        WriteIndented(state, "%s", buffer->data);
}
