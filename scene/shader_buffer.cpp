#include "scene/shader_buffer.h"

#include <cstring>
#include <new>

ShaderBuffer* NewShaderBuffer()
{
    auto* buffer = new ShaderBuffer;
    std::memcpy(buffer->name, "ERROR", 6);
    std::memset(buffer->name + 6, 0, sizeof buffer->name - 6);
    buffer->data = nullptr;
    buffer->length = 0;
    buffer->capacity = -1;
    buffer->isBinary = 0;
    return buffer;
}

void FreeShaderBuffer(ShaderBuffer* buffer)
{
    if (buffer == nullptr)
        return;
    delete[] buffer->data;
    delete buffer;
}

namespace {

// Takes a larger block and copies the content with its zero byte over. The old block is freed
// only by the caller, after the appended bytes (which may lie in it) have been copied.
char* Grow(ShaderBuffer* buffer, std::int32_t length)
{
    const std::int64_t newCapacity =
        static_cast<std::int64_t>(length) + 2 * static_cast<std::int64_t>(buffer->capacity) + 512;
    if (newCapacity > INT32_MAX - 2)
        throw std::bad_alloc();
    char* block = new char[static_cast<std::size_t>(newCapacity) + 2];
    if (buffer->data != nullptr)
        std::memcpy(block, buffer->data, static_cast<std::size_t>(buffer->length) + 1);
    else
        block[0] = '\0';
    buffer->capacity = static_cast<std::int32_t>(newCapacity);
    char* old = buffer->data;
    buffer->data = block;
    return old;
}

} // namespace

void AppendToBuffer(ShaderBuffer* buffer, const void* data, std::int32_t length)
{
    if (buffer == nullptr || length < 0)
        return;
    if (length == 0) {
        if (data == nullptr)
            return;
        const std::size_t textLength = std::strlen(static_cast<const char*>(data));
        if (textLength > static_cast<std::size_t>(INT32_MAX))
            throw std::bad_alloc();
        length = static_cast<std::int32_t>(textLength);
    } else {
        buffer->isBinary = 1;
    }
    char* oldBlock = nullptr;
    if (static_cast<std::int64_t>(length) + buffer->length + 1 >= buffer->capacity)
        oldBlock = Grow(buffer, length);
    if (length > 0)
        std::memmove(buffer->data + buffer->length, data, static_cast<std::size_t>(length));
    delete[] oldBlock;
    buffer->length += length;
    buffer->data[buffer->length] = '\0';
}
