#include <gtest/gtest.h>

#include <cstdint>

#include "counters/CounterStatus.h"

TEST(CounterStatus, OnlyValidDataIsAValueAndOnlyAGoneOrBrokenCounterIsTrouble)
{
    using O = FormatOutcome;
    // Status and CStatus, as pdhmsg.h names them: VALID_DATA, NEW_DATA; success with CSTATUS_INVALID_DATA or
    // NO_INSTANCE; INVALID_DATA with CSTATUS_INVALID_DATA; CALC_NEGATIVE_DENOMINATOR, _TIMEBASE, _VALUE;
    // INVALID_DATA with CSTATUS_NO_INSTANCE, _NO_OBJECT, _NO_COUNTER, VALID_DATA; CALC_NEGATIVE_VALUE with
    // NO_INSTANCE; CSTATUS_NO_INSTANCE, INVALID_HANDLE, NO_DATA, CSTATUS_INVALID_DATA as statuses.
    const struct {
        std::uint32_t status, counterStatus;
        O outcome;
    } rows[] = {{0, 0, O::Fresh}, {0, 1, O::Fresh}, {0, 0xC0000BBA, O::NoSample}, {0, 0x800007D1, O::Failed},
                {0xC0000BC6, 0xC0000BBA, O::NoSample}, {0x800007D6, 0, O::NoSample},
                {0x800007D7, 0xC0000BBA, O::NoSample}, {0x800007D8, 0, O::NoSample},
                {0xC0000BC6, 0x800007D1, O::Failed}, {0xC0000BC6, 0xC0000BB8, O::Failed},
                {0xC0000BC6, 0xC0000BB9, O::Failed}, {0xC0000BC6, 0, O::Failed}, {0x800007D8, 0x800007D1, O::Failed},
                {0x800007D1, 0x800007D1, O::Failed}, {0xC0000BBC, 0xC0000BBA, O::Failed}, {0x800007D5, 0, O::Failed},
                {0xC0000BBA, 0xC0000BBA, O::Failed}};
    for (const auto& row : rows)
        EXPECT_EQ(formatOutcome(row.status, row.counterStatus), row.outcome)
            << std::hex << row.status << " " << row.counterStatus;
}
