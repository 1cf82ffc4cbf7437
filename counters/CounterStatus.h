#pragma once
// What a counter's format status means for a pass. The PDH statuses are
// numbers here, with their pdhmsg.h names, so that this builds without
// windows.h.

#include <cstdint>

constexpr std::uint32_t kPdhInvalidData = 0xC0000BC6;              // PDH_INVALID_DATA
constexpr std::uint32_t kPdhCStatusInvalidData = 0xC0000BBA;       // PDH_CSTATUS_INVALID_DATA
constexpr std::uint32_t kPdhCalcNegativeDenominator = 0x800007D6;  // PDH_CALC_NEGATIVE_DENOMINATOR
constexpr std::uint32_t kPdhCalcNegativeTimebase = 0x800007D7;     // PDH_CALC_NEGATIVE_TIMEBASE
constexpr std::uint32_t kPdhCalcNegativeValue = 0x800007D8;        // PDH_CALC_NEGATIVE_VALUE

// NoSample: no value this time though nothing is wrong, so its gauge is not
// fed and nothing is reopened. Failed: the counter is gone, or worse.
enum class FormatOutcome { Fresh, NoSample, Failed };

// The status PdhGetFormattedCounterValue returned and the CStatus it wrote.
FormatOutcome formatOutcome(std::uint32_t status, std::uint32_t counterStatus);
