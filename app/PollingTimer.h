#pragma once
// The polling timer's period for a frequency in ticks per second.

#include <cstdint>

constexpr unsigned kPollingTimerId = 1;

// 1000 / frequency in integer division, so 3 gives 333 and 7 gives 142.
// The settings never hold a frequency outside 1 to 10; anything else falls
// back to the default 10 per second rather than dividing by zero.
constexpr unsigned pollingPeriodMs(std::int32_t frequency)
{
    return (frequency >= 1 && frequency <= 10) ? 1000u / static_cast<unsigned>(frequency) : 100u;
}
