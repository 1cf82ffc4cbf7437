#include <gtest/gtest.h>

#include <cstdint>

#include "counters/CounterStatus.h"

TEST(CounterStatus, OnlyAValueYetToComeAndCalculationWarningsPassWithoutASample)
{
    struct Row {
        std::uint32_t status;
        std::uint32_t counterStatus;
        FormatOutcome outcome;
    };
    const Row rows[] = {
        {0, 0, FormatOutcome::Fresh},
        {0, 1, FormatOutcome::Fresh},                                     // PDH_CSTATUS_NEW_DATA
        {0xC0000BC6, 0xC0000BBA, FormatOutcome::NoSample},                // PDH_INVALID_DATA, not yet
        {0x800007D6, 0, FormatOutcome::NoSample},                         // PDH_CALC_NEGATIVE_DENOMINATOR
        {0x800007D7, 0xC0000BBA, FormatOutcome::NoSample},                // PDH_CALC_NEGATIVE_TIMEBASE
        {0x800007D8, 0, FormatOutcome::NoSample},                         // PDH_CALC_NEGATIVE_VALUE
        {0xC0000BC6, 0x800007D1, FormatOutcome::Failed},                  // gone: PDH_CSTATUS_NO_INSTANCE
        {0xC0000BC6, 0xC0000BB8, FormatOutcome::Failed},                  // PDH_CSTATUS_NO_OBJECT
        {0xC0000BC6, 0xC0000BB9, FormatOutcome::Failed},                  // PDH_CSTATUS_NO_COUNTER
        {0xC0000BC6, 0, FormatOutcome::Failed},                           // invalid yet valid: not PDH's
        {0x800007D1, 0x800007D1, FormatOutcome::Failed},                  // PDH_CSTATUS_NO_INSTANCE itself
        {0xC0000BBC, 0xC0000BBA, FormatOutcome::Failed},                  // PDH_INVALID_HANDLE
        {0x800007D5, 0, FormatOutcome::Failed},                           // PDH_NO_DATA
        {0xC0000BBA, 0xC0000BBA, FormatOutcome::Failed},                  // the CStatus as a status
        {0xFFFFFFFF, 0xC0000BBA, FormatOutcome::Failed},
    };
    for (const Row& row : rows)
        EXPECT_EQ(formatOutcome(row.status, row.counterStatus), row.outcome)
            << std::hex << row.status << " with CStatus " << row.counterStatus;
}
