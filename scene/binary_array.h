// Binary array blocks: the encoding of a whole array inside the scene text, and the accumulator
// that gathers the 32-bit words of an array given element by element until its end.
//
// A block, byte for byte: 0x01 0x02 0x03, the kind letter ('c' float triples, 'f' floats,
// 'r' doubles, 'i' int32), the number of scalars that follow as a little-endian uint32 (three per
// triple), then the scalars, little-endian, without terminator or alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct SceneWriterState;

// Words of binary array elements collected between BeginArray and EndArray.
struct BinaryAccumulator {
    std::unique_ptr<std::uint32_t[]> data;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
};

// Appends one word; the storage grows to count + capacity + 65,536 words at a time.
// Throws std::bad_alloc.
void AppendBinaryWord(BinaryAccumulator& accumulator, const std::uint32_t* word);

// The kind letters of the block.
constexpr char BinaryKindFloat3 = 'c';
constexpr char BinaryKindFloat = 'f';
constexpr char BinaryKindDouble = 'r';
constexpr char BinaryKindInt = 'i';

// Writes one block of scalarCount scalars of scalarSize bytes (4, or 8 for 'r') lying at data in
// the machine's byte order. Goes where the writer's output goes (file or capture buffer), raw and
// unflushed.
void WriteBinaryArrayBlock(SceneWriterState& state, char kind, const void* data,
                           std::uint32_t scalarCount, std::size_t scalarSize);

// The scalars of a block converted to little-endian a chunk at a time (in the writer's indent
// buffer), as a machine of another byte order writes them.
void WriteConvertedScalars(SceneWriterState& state, const void* data, std::uint32_t scalarCount,
                           std::size_t scalarSize);

// Little-endian encoding of count scalars into out (4 or 8 bytes each), whatever the machine's
// byte order.
void EncodeLittleEndian32(const void* scalars, std::size_t count, unsigned char* out);
void EncodeLittleEndian64(const void* scalars, std::size_t count, unsigned char* out);
