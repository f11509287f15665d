#include "clock.h"

namespace quad {

namespace {
Clock* g_clock = nullptr;
}

QDateTime Clock::currentDateTime()
{
    return g_clock ? g_clock->now() : QDateTime::currentDateTime();
}

void Clock::install(Clock* clock)
{
    g_clock = clock;
}

} // namespace quad
