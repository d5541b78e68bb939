// The replaceable wait of the renderer link.
#include "link/link_sleep.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::uint32_t fakeClock = 0;
void FakeSleep(std::uint32_t milliseconds) { fakeClock += milliseconds; }

TEST(LinkSleep, FakeClockReplacesTheWaitUntilRestored)
{
    const LinkSleepFunction previous = SetLinkSleepFunction(FakeSleep);
    for (int i = 0; i < 20; ++i) LinkSleep(1000);
    EXPECT_EQ(fakeClock, 20000u);

    EXPECT_EQ(SetLinkSleepFunction(previous), FakeSleep);
    LinkSleep(20);
    EXPECT_EQ(fakeClock, 20000u);
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
