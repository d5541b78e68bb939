#include "scene/shader_buffer.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

struct BufferDeleter {
    void operator()(ShaderBuffer* buffer) const { FreeShaderBuffer(buffer); }
};
using BufferPtr = std::unique_ptr<ShaderBuffer, BufferDeleter>;

std::string Content(const ShaderBuffer& buffer)
{
    return std::string(buffer.data, static_cast<std::size_t>(buffer.length));
}

} // namespace

TEST(ShaderBuffer, NewBufferIsEmptyWithCapacityMinusOneAndTenBytesGrowItTo520)
{
    BufferPtr buffer(NewShaderBuffer());
    EXPECT_STREQ(buffer->name, "ERROR");
    EXPECT_EQ(buffer->data, nullptr);
    EXPECT_EQ(buffer->length, 0);
    EXPECT_EQ(buffer->capacity, -1);
    EXPECT_EQ(buffer->isBinary, 0);
    AppendToBuffer(buffer.get(), "0123456789", 10);
    EXPECT_EQ(buffer->capacity, 520);
    EXPECT_EQ(buffer->length, 10);
    EXPECT_EQ(buffer->isBinary, 1);
    EXPECT_EQ(buffer->data[10], '\0');
    buffer->data[521] = 'x'; // the block holds capacity + 2 bytes (checked by the sanitizer build)
    EXPECT_EQ(Content(*buffer), "0123456789");
}

TEST(ShaderBuffer, TextAppendsStayTextAndStayZeroTerminated)
{
    BufferPtr buffer(NewShaderBuffer());
    AppendToBuffer(buffer.get(), "ab", 0);
    EXPECT_EQ(buffer->capacity, 2 - 2 + 512);
    AppendToBuffer(buffer.get(), "cd", 0);
    EXPECT_EQ(buffer->capacity, 512);
    EXPECT_STREQ(buffer->data, "abcd");
    EXPECT_EQ(buffer->length, 4);
    EXPECT_EQ(buffer->isBinary, 0);
}

TEST(ShaderBuffer, GrowsWhenTheContentAndZeroByteReachTheCapacity)
{
    const std::string bytes(600, 'b');
    BufferPtr fits(NewShaderBuffer());
    AppendToBuffer(fits.get(), bytes.data(), 10);
    AppendToBuffer(fits.get(), bytes.data(), 508); // 508 + 10 + 1 = 519, below 520
    EXPECT_EQ(fits->capacity, 520);
    EXPECT_EQ(fits->length, 518);

    BufferPtr grows(NewShaderBuffer());
    AppendToBuffer(grows.get(), "0123456789", 10);
    AppendToBuffer(grows.get(), bytes.data(), 509); // 509 + 10 + 1 = 520: not below
    EXPECT_EQ(grows->capacity, 509 + 2 * 520 + 512);
    EXPECT_EQ(Content(*grows), "0123456789" + bytes.substr(0, 509));
}

TEST(ShaderBuffer, AppendingItsOwnContentDoublesIt)
{
    BufferPtr buffer(NewShaderBuffer());
    AppendToBuffer(buffer.get(), "xyz", 0);
    for (int i = 0; i < 10; ++i) // growth frees the block that the appended bytes come from
        AppendToBuffer(buffer.get(), buffer->data, buffer->length);
    EXPECT_EQ(buffer->length, 3 * 1024);
    EXPECT_EQ(Content(*buffer).substr(3 * 1023), "xyz");
    EXPECT_EQ(std::strlen(buffer->data), 3u * 1024);
}

TEST(ShaderBuffer, NullBufferOrNegativeLengthIsIgnored)
{
    AppendToBuffer(nullptr, "abc", 3);
    BufferPtr buffer(NewShaderBuffer());
    AppendToBuffer(buffer.get(), "abc", -1);
    AppendToBuffer(buffer.get(), nullptr, 0);
    EXPECT_EQ(buffer->data, nullptr);
    EXPECT_EQ(buffer->length, 0);
    FreeShaderBuffer(nullptr);
}
