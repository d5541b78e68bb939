// The replaceable wait of the renderer link.
#include "link/link_sleep.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

std::uint32_t fakeClock = 0;
void FakeSleep(std::uint32_t milliseconds) { fakeClock += milliseconds; }

TEST(LinkSleep, FakeClockReplacesTheWaitUntilRestored)
{
    const LinkSleepFunction previous = SetLinkSleepFunction(FakeSleep);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) LinkSleep(1000);
    EXPECT_EQ(fakeClock, 20000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    EXPECT_EQ(SetLinkSleepFunction(previous), FakeSleep);
    const auto before = std::chrono::steady_clock::now();
    LinkSleep(20);
    EXPECT_EQ(fakeClock, 20000u);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(15));
}

TEST(LinkSleep, NullRestoresThePlatformWait)
{
    SetLinkSleepFunction(FakeSleep);
    SetLinkSleepFunction(nullptr);
    const std::uint32_t clock = fakeClock;
    LinkSleep(1);
    EXPECT_EQ(fakeClock, clock);
}

}  // namespace
