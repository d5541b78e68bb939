// The growable stacks of the scene file writer: WordStack (entries that hold a pointer or an
// int32) and ByteStack (bytes). Both keep the same four fields, in this order: the storage, its
// capacity in entries, the entries in use, and a limit (0: none). Nothing reads an entry without
// popping it.
#pragma once

#include <cstdint>
#include <memory>

template <class Entry>
struct WriterStack {
    // Every stack of the writer starts with room for 32 entries and no limit.
    explicit WriterStack(std::int32_t initialCapacity = 32, std::int32_t entryLimit = 0);

    std::unique_ptr<Entry[]> data; // owned storage; zero-filled, so a pop before any push gives 0
    std::int32_t capacity;         // entries the storage holds
    std::int32_t count;            // entries in use
    std::int32_t limit;            // above 0: the most entries kept; a push beyond drops the bottom
};

// A word is wide enough for a pointer (shader buffers) or an int32 (saved indentations).
using WordStack = WriterStack<std::intptr_t>;
using ByteStack = WriterStack<std::uint8_t>;

// Push grows the storage to 2 x capacity + 32 entries once count reaches capacity - 1.
// Pop answers the top entry; on an empty stack it answers the bottom entry (index 0) and the
// stack stays empty. A failed allocation throws std::bad_alloc.
void PushWord(WordStack& stack, std::intptr_t value);
std::intptr_t PopWord(WordStack& stack);
void PushByte(ByteStack& stack, std::uint8_t value);
std::uint8_t PopByte(ByteStack& stack);

// Pointers travel through a WordStack as words.
template <class T>
void PushPointer(WordStack& stack, T* pointer)
{
    PushWord(stack, reinterpret_cast<std::intptr_t>(pointer));
}

template <class T>
T* PopPointer(WordStack& stack)
{
    return reinterpret_cast<T*>(PopWord(stack));
}
