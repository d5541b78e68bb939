#include "scene/binary_array.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "scene/output_primitives.h"
#include "scene/scene_writer_state.h"

void AppendBinaryWord(BinaryAccumulator& accumulator, const std::uint32_t* word)
{
    if (accumulator.count >= accumulator.capacity) {
        const std::int64_t wanted = static_cast<std::int64_t>(accumulator.count) +
                                    accumulator.capacity + 65536;
        if (wanted > INT32_MAX)
            throw std::bad_alloc();
        std::unique_ptr<std::uint32_t[]> grown(new std::uint32_t[static_cast<std::size_t>(wanted)]);
        std::copy(accumulator.data.get(), accumulator.data.get() + accumulator.count, grown.get());
        accumulator.data = std::move(grown);
        accumulator.capacity = static_cast<std::int32_t>(wanted);
    }
    accumulator.data[accumulator.count++] = *word;
}

namespace {

// The byte order of the machine, as the compiler knows it; without that knowledge every scalar
// goes through the byte-by-byte conversion, which is right on any machine.
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool HostIsLittleEndian = true;
#else
constexpr bool HostIsLittleEndian = false;
#endif

} // namespace

void EncodeLittleEndian32(const void* scalars, std::size_t count, unsigned char* out)
{
    const auto* in = static_cast<const unsigned char*>(scalars);
    for (std::size_t i = 0; i < count; ++i, in += 4, out += 4) {
        std::uint32_t value;
        std::memcpy(&value, in, 4);
        out[0] = static_cast<unsigned char>(value);
        out[1] = static_cast<unsigned char>(value >> 8);
        out[2] = static_cast<unsigned char>(value >> 16);
        out[3] = static_cast<unsigned char>(value >> 24);
    }
}

void EncodeLittleEndian64(const void* scalars, std::size_t count, unsigned char* out)
{
    const auto* in = static_cast<const unsigned char*>(scalars);
    for (std::size_t i = 0; i < count; ++i, in += 8, out += 8) {
        std::uint64_t value;
        std::memcpy(&value, in, 8);
        for (int byte = 0; byte < 8; ++byte)
            out[byte] = static_cast<unsigned char>(value >> (8 * byte));
    }
}

void WriteConvertedScalars(SceneWriterState& state, const void* data, std::uint32_t scalarCount,
                           std::size_t scalarSize)
{
    // The indent buffer is free while raw bytes are written: it holds one chunk of converted
    // scalars at a time, so a large array costs no allocation.
    auto* chunk = reinterpret_cast<unsigned char*>(state.indentBuffer.get());
    const std::size_t chunkScalars = WorkingBufferSize / scalarSize;
    const auto* in = static_cast<const unsigned char*>(data);
    for (std::size_t done = 0; done < scalarCount;) {
        const std::size_t n = std::min<std::size_t>(chunkScalars, scalarCount - done);
        if (scalarSize == 8)
            EncodeLittleEndian64(in + done * 8, n, chunk);
        else
            EncodeLittleEndian32(in + done * 4, n, chunk);
        WriteBytes(state, chunk, n * scalarSize);
        done += n;
    }
}

void WriteBinaryArrayBlock(SceneWriterState& state, char kind, const void* data,
                           std::uint32_t scalarCount, std::size_t scalarSize)
{
    if (state.file == nullptr)
        return;
    const unsigned char header[8] = {
        0x01, 0x02, 0x03, static_cast<unsigned char>(kind),
        static_cast<unsigned char>(scalarCount),
        static_cast<unsigned char>(scalarCount >> 8),
        static_cast<unsigned char>(scalarCount >> 16),
        static_cast<unsigned char>(scalarCount >> 24),
    };
    WriteBytes(state, header, 4);
    WriteBytes(state, header + 4, 4);
    // On a little-endian machine the scalars already lie in the block's byte order: they are
    // written straight from the caller's array, the fastest way for the large mesh arrays.
    if (HostIsLittleEndian)
        WriteBytes(state, data, static_cast<std::size_t>(scalarCount) * scalarSize);
    else
        WriteConvertedScalars(state, data, scalarCount, scalarSize);
}
