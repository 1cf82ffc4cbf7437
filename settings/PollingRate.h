#pragma once
// The polling rate in one place: the range the Config dialog accepts, the
// default, the message that states the range, and the timer period of each
// rate. Standard C++ only: the core and its native tests include it.

#include <cstdint>

constexpr std::int32_t kMinPollingFrequency = 1;
constexpr std::int32_t kMaxPollingFrequency = 10;
constexpr std::int32_t kDefaultPollingFrequency = 10;

// Shown in the Config dialog for anything outside the range above.
constexpr wchar_t kFrequencyRangeMessage[] = L"Must enter a value between 1 and 10";

constexpr bool isValidPollingFrequency(std::int32_t frequency)
{
    return frequency >= kMinPollingFrequency && frequency <= kMaxPollingFrequency;
}

// 1000 / frequency in integer division, so 3 gives 333 and 7 gives 142.
// The settings never hold a frequency outside the range; anything else
// falls back to the default rather than dividing by zero.
constexpr unsigned pollingPeriodMs(std::int32_t frequency)
{
    const std::int32_t usable = isValidPollingFrequency(frequency) ? frequency : kDefaultPollingFrequency;
    return 1000u / static_cast<unsigned>(usable);
}

static_assert(isValidPollingFrequency(kDefaultPollingFrequency), "the default rate must be one the dialog accepts");
