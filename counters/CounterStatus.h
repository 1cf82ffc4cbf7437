#pragma once
// What a counter's format status means for a pass. The PDH statuses are
// numbers here, with their pdhmsg.h names, so that this builds without
// windows.h.

#include <cstdint>

constexpr std::uint32_t kPdhCStatusValidData = 0x00000000;         // PDH_CSTATUS_VALID_DATA
constexpr std::uint32_t kPdhCStatusNewData = 0x00000001;           // PDH_CSTATUS_NEW_DATA
constexpr std::uint32_t kPdhCStatusNoInstance = 0x800007D1;        // PDH_CSTATUS_NO_INSTANCE
constexpr std::uint32_t kPdhCStatusNoObject = 0xC0000BB8;          // PDH_CSTATUS_NO_OBJECT
constexpr std::uint32_t kPdhCStatusNoCounter = 0xC0000BB9;         // PDH_CSTATUS_NO_COUNTER
constexpr std::uint32_t kPdhInvalidData = 0xC0000BC6;              // PDH_INVALID_DATA
constexpr std::uint32_t kPdhCStatusInvalidData = 0xC0000BBA;       // PDH_CSTATUS_INVALID_DATA
constexpr std::uint32_t kPdhCalcNegativeDenominator = 0x800007D6;  // PDH_CALC_NEGATIVE_DENOMINATOR
constexpr std::uint32_t kPdhCalcNegativeTimebase = 0x800007D7;     // PDH_CALC_NEGATIVE_TIMEBASE
constexpr std::uint32_t kPdhCalcNegativeValue = 0x800007D8;        // PDH_CALC_NEGATIVE_VALUE

// Fresh: a value. NoSample: no value this time though nothing is wrong with
// the counter. Failed: the counter is gone, or worse; it stays in trouble
// until it reads again.
enum class FormatOutcome { Fresh, NoSample, Failed };

// The status PdhGetFormattedCounterValue returned and the CStatus it wrote.
FormatOutcome formatOutcome(std::uint32_t status, std::uint32_t counterStatus);
