#pragma once
// What the status of one counter's format means for a pass: a value, no
// value this time though nothing is wrong, or a failure that needs the query
// reopened. The PDH statuses are spelled out as numbers here, with their
// pdhmsg.h names, so that the decision builds without windows.h.

#include <cstdint>

constexpr std::uint32_t kPdhInvalidData = 0xC0000BC6;              // PDH_INVALID_DATA
constexpr std::uint32_t kPdhCStatusInvalidData = 0xC0000BBA;       // PDH_CSTATUS_INVALID_DATA
constexpr std::uint32_t kPdhCalcNegativeDenominator = 0x800007D6;  // PDH_CALC_NEGATIVE_DENOMINATOR
constexpr std::uint32_t kPdhCalcNegativeTimebase = 0x800007D7;     // PDH_CALC_NEGATIVE_TIMEBASE
constexpr std::uint32_t kPdhCalcNegativeValue = 0x800007D8;        // PDH_CALC_NEGATIVE_VALUE

enum class FormatOutcome {
    Fresh,     // a new value
    NoSample,  // none this time: its gauge is not fed, nothing is reopened
    Failed,    // a counter that is gone, or anything else PDH did not expect
};

// `status` as PdhGetFormattedCounterValue returned it, `counterStatus` the
// CStatus it wrote.
FormatOutcome formatOutcome(std::uint32_t status, std::uint32_t counterStatus);
