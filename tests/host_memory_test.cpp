// Host memory as the plug-in meets it through the toolkit: arrays, wide strings and string arrays
// handed out, sized and freed, with every block accounted for until it is given back.
#include <gtest/gtest.h>

#include <cstring>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"

namespace {

class HostMemory : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetSession(); }
    void TearDown() override { sim::ResetSession(); }
};

TEST_F(HostMemory, ArraysAreZeroedSizedAndFreedOnce) {
    ProArray array = nullptr;
    ASSERT_EQ(sim::ProArrayAlloc(3, 24, 1, &array), PRO_TK_NO_ERROR);
    ASSERT_NE(array, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(array);
    for (int i = 0; i < 72; ++i) EXPECT_EQ(bytes[i], 0) << i;
    int size = -1;
    EXPECT_EQ(sim::ProArraySizeGet(array, &size), PRO_TK_NO_ERROR);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(sim::LiveHostBlocks(), 1u);

    ProArray copy = array;
    EXPECT_EQ(sim::ProArrayFree(&array), PRO_TK_NO_ERROR);
    EXPECT_EQ(array, nullptr);
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
    // A second free of the same block is refused and noted, not handed to the heap.
    EXPECT_EQ(sim::ProArrayFree(&copy), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProArraySizeGet(copy, &size), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::Session().record.Document()["problems"].size(), 2u);
    // Empty arrays have addresses of their own.
    void* first = sim::NewHostArray(0, 8);
    void* second = sim::NewHostArray(0, 8);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(sim::HostArraySize(first), 0);
    EXPECT_TRUE(sim::FreeHostArray(first));
    EXPECT_TRUE(sim::FreeHostArray(second));
}

TEST_F(HostMemory, RefusesSizesThatOverflowOrAreNegative) {
    ProArray array = nullptr;
    EXPECT_EQ(sim::ProArrayAlloc(-1, 8, 1, &array), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProArrayAlloc(0x40000000, 16, 1, &array), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProArrayAlloc(1, 0, 1, &array), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(array, nullptr);
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
}

TEST_F(HostMemory, ResizedArraysKeepTheirContentAndZeroTheRest) {
    auto* values = static_cast<int*>(sim::NewHostArray(2, sizeof(int)));
    values[0] = 7;
    values[1] = 9;
    values = static_cast<int*>(sim::ResizeHostArray(values, 4));
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(values[1], 9);
    EXPECT_EQ(values[2], 0);
    EXPECT_EQ(values[3], 0);
    EXPECT_EQ(sim::HostArraySize(values), 4);
    EXPECT_EQ(sim::LiveHostBlocks(), 1u);
    EXPECT_EQ(sim::ResizeHostArray(&values[1], 8), nullptr);  // not the start of a host array
    EXPECT_TRUE(sim::FreeHostArray(values));
}

TEST_F(HostMemory, WideStringsAndStringArraysAreCopiesFreedWithTheirOwnFunctions) {
    ProWchar* text = sim::NewHostWstring(u"abc");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text), u"abc");
    // A wide string is not an array, and an array is not a wide string.
    ProArray asArray = text;
    EXPECT_EQ(sim::ProArrayFree(&asArray), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProWstringFree(text), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::ProWstringFree(text), PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
    char** names = sim::NewHostStringArray({"xaxis", "manual"});
    ASSERT_NE(names, nullptr);
    EXPECT_STREQ(names[0], "xaxis");
    EXPECT_STREQ(names[1], "manual");
    EXPECT_EQ(sim::LiveHostBlocks(), 3u);
    EXPECT_EQ(sim::ProStringarrayFree(names, 2), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
}

TEST_F(HostMemory, WhatIsNotFreedIsDescribed) {
    sim::NewHostArray(3, 24);
    sim::NewHostWstring(u"left over");
    const std::vector<std::string> live = sim::DescribeLiveHostBlocks();
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0], "array of 3 x 24 bytes");
    EXPECT_EQ(live[1], "wide string \"left over\"");
    sim::FreeAllHostBlocks();
    EXPECT_EQ(sim::LiveHostBlocks(), 0u);
}

TEST_F(HostMemory, NarrowTextIsTheWindows1252CodePage) {
    char narrow[8];
    // e acute is in the code page, the euro sign at 0x80, the Greek alpha is not.
    const ProWchar wide[] = {u'a', 0x00E9, 0x20AC, 0x03B1, 0};
    EXPECT_EQ(sim::ProWstringToString(narrow, wide), narrow);
    EXPECT_STREQ(narrow, "a\xE9\x80?");
    ProWchar back[8];
    sim::ProStringToWstring(back, "a\xE9\x80");
    EXPECT_EQ(std::u16string(back), std::u16string(u"a\u00E9\u20AC"));
}

}  // namespace
