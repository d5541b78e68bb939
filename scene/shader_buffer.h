// The capture buffer of an anonymous shader: a growable byte buffer whose content is always
// followed by a zero byte. The scene file writer makes one per anonymous BeginShader, owns all
// of them and frees them when it is destroyed; callers of the scene interface only pass them
// back (scene/scene_api.h declares the type for them as opaque).
#pragma once

#include <cstdint>

struct ShaderBuffer {
    char name[8];        // "ERROR" when made; nothing reads it
    char* data;          // the content and its zero byte; null while nothing was appended
    std::int32_t length;   // bytes of content
    std::int32_t capacity; // usable size of data; -1 when made, so the first append allocates
    std::int32_t isBinary; // 1 once bytes were appended with an explicit length
};

// A new empty buffer (name "ERROR", no data, capacity -1, not binary). Throws std::bad_alloc.
ShaderBuffer* NewShaderBuffer();

// Frees the buffer and its content; null is allowed.
void FreeShaderBuffer(ShaderBuffer* buffer);

// Appends length bytes at data; length 0 means data is zero-terminated text (a null data then
// appends nothing). An explicit length marks the buffer binary. The storage grows to
// length + 2 x capacity + 512 bytes at a time. data may point into the buffer itself.
// Throws std::bad_alloc when the content would not fit in 32 bits or memory runs out.
void AppendToBuffer(ShaderBuffer* buffer, const void* data, std::int32_t length);
