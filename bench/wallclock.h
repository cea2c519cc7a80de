#pragma once
// The wall clock in seconds, as the sound server's recording and the alarms
// see it (CLOCK_REALTIME, not the monotonic clock).
#include <time.h>

inline double wallSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}
