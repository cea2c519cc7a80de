#include "clock.h"
#include "systemclock.h"

namespace {
Clock *g_clock = nullptr;
}

Clock &appClock()
{
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void setAppClock(Clock *clock)
{
    g_clock = clock;
}
