#include "scene/writer_stacks.h"

#include <algorithm>
#include <new>

template <class Entry>
WriterStack<Entry>::WriterStack(std::int32_t initialCapacity, std::int32_t entryLimit)
    : data(new Entry[initialCapacity > 0 ? initialCapacity : 1]()),
      capacity(initialCapacity > 0 ? initialCapacity : 1),
      count(0),
      limit(entryLimit)
{
}

template struct WriterStack<std::intptr_t>;
template struct WriterStack<std::uint8_t>;

namespace {

template <class Entry>
void Grow(WriterStack<Entry>& stack)
{
    const std::int64_t wanted = 2 * static_cast<std::int64_t>(stack.capacity) + 32;
    if (wanted > INT32_MAX)
        throw std::bad_alloc();
    const auto newCapacity = static_cast<std::int32_t>(wanted);
    std::unique_ptr<Entry[]> grown(new Entry[newCapacity]());
    std::copy(stack.data.get(), stack.data.get() + stack.count, grown.get());
    stack.data = std::move(grown);
    stack.capacity = newCapacity;
}

template <class Entry>
void Push(WriterStack<Entry>& stack, Entry value)
{
    if (stack.count >= stack.capacity - 1)
        Grow(stack);
    // A limited stack keeps its newest entries: the bottom one makes room for the new one, so
    // the stack never holds more than limit entries.
    if (stack.limit > 0 && stack.count >= stack.limit) {
        std::copy(stack.data.get() + 1, stack.data.get() + stack.count, stack.data.get());
        --stack.count;
    }
    stack.data[stack.count++] = value;
}

template <class Entry>
Entry Pop(WriterStack<Entry>& stack)
{
    if (stack.count > 0)
        --stack.count;
    return stack.data[stack.count];
}

} // namespace

void PushWord(WordStack& stack, std::intptr_t value) { Push(stack, value); }
std::intptr_t PopWord(WordStack& stack) { return Pop(stack); }
void PushByte(ByteStack& stack, std::uint8_t value) { Push(stack, value); }
std::uint8_t PopByte(ByteStack& stack) { return Pop(stack); }
