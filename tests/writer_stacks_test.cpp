#include "scene/writer_stacks.h"

#include <gtest/gtest.h>

TEST(WriterStacks, NewStackHoldsRoomFor32EntriesAndGrowsTo96AndThenTo224KeepingEntries)
{
    ByteStack stack;
    EXPECT_EQ(stack.capacity, 32);
    EXPECT_EQ(stack.count, 0);
    for (int i = 0; i < 31; ++i)
        PushByte(stack, static_cast<std::uint8_t>(i));
    EXPECT_EQ(stack.capacity, 32); // count 30 before the 31st push: no growth yet
    PushByte(stack, 31);
    EXPECT_EQ(stack.capacity, 96);
    EXPECT_EQ(stack.count, 32);
    for (int i = 31; i >= 0; --i)
        EXPECT_EQ(PopByte(stack), i);
    WordStack words;
    EXPECT_EQ(words.capacity, 32);
    EXPECT_EQ(words.limit, 0); // no limit
    for (int i = 0; i < 96; ++i)
        PushWord(words, i);
    EXPECT_EQ(words.capacity, 2 * 96 + 32);
    EXPECT_EQ(words.count, 96);
    EXPECT_EQ(PopWord(words), 95);
}

TEST(WriterStacks, PopOnEmptyStackAnswersBottomEntryAndStaysEmpty)
{
    ByteStack stack;
    EXPECT_EQ(PopByte(stack), 0); // never pushed: the zeroed storage
    PushByte(stack, 7);
    PushByte(stack, 9);
    EXPECT_EQ(PopByte(stack), 9);
    EXPECT_EQ(PopByte(stack), 7);
    EXPECT_EQ(PopByte(stack), 7);
    EXPECT_EQ(stack.count, 0);
    PushByte(stack, 3);
    EXPECT_EQ(stack.count, 1);
}

TEST(WriterStacks, LimitedStackKeepsOnlyItsNewestEntries)
{
    WordStack stack(32, 3);
    for (int i = 1; i <= 5; ++i)
        PushWord(stack, i);
    EXPECT_EQ(stack.count, 3);
    EXPECT_EQ(PopWord(stack), 5);
    EXPECT_EQ(PopWord(stack), 4);
    EXPECT_EQ(PopWord(stack), 3);
    EXPECT_EQ(stack.count, 0);
}

TEST(WriterStacks, WordsCarryPointersAndNegativeIntegers)
{
    WordStack stack;
    int target = 0;
    PushWord(stack, -12);
    PushPointer(stack, &target);
    PushPointer<int>(stack, nullptr);
    EXPECT_EQ(PopPointer<int>(stack), nullptr);
    EXPECT_EQ(PopPointer<int>(stack), &target);
    EXPECT_EQ(static_cast<std::int32_t>(PopWord(stack)), -12);
}
