#include "link/link_sleep.h"

#include "platform/win32.h"

namespace {

void PlatformSleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

LinkSleepFunction sleepFunction = PlatformSleep;

}  // namespace

void LinkSleep(std::uint32_t milliseconds) { sleepFunction(milliseconds); }

LinkSleepFunction SetLinkSleepFunction(LinkSleepFunction function)
{
    const LinkSleepFunction previous = sleepFunction;
    sleepFunction = function != nullptr ? function : PlatformSleep;
    return previous;
}
