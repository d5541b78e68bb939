// Sleep over nanosleep, resumed after a signal so the whole wait is kept.
#include <cerrno>
#include <ctime>

#include "platform/win32.h"

void Sleep(DWORD dwMilliseconds)
{
    timespec wait;
    wait.tv_sec = static_cast<time_t>(dwMilliseconds / 1000);
    wait.tv_nsec = static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    timespec left;
    while (nanosleep(&wait, &left) != 0 && errno == EINTR) wait = left;
}
