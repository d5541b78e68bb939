// The waits of the renderer link. The link waits through LinkSleep rather than calling Sleep
// itself, so that a test can put a fake clock in its place and a 20-second wait takes no time.
#pragma once

#include <cstdint>

using LinkSleepFunction = void (*)(std::uint32_t milliseconds);

// Waits milliseconds with the installed function (the platform's Sleep unless replaced).
void LinkSleep(std::uint32_t milliseconds);

// Installs function in place of Sleep, or Sleep again for null; answers the one it replaces.
LinkSleepFunction SetLinkSleepFunction(LinkSleepFunction function);
