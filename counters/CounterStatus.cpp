// A counter's format status sorted into a value, no value yet, or a
// failure. A rate counter has no value until its query was collected twice,
// and Windows now and then gives one counter a calculation warning (after a
// sleep, a clock change, or two collects too close together): neither is a
// broken query.

#include "counters/CounterStatus.h"

FormatOutcome formatOutcome(std::uint32_t status, std::uint32_t counterStatus)
{
    switch (status) {
    case 0:
        return FormatOutcome::Fresh;
    case kPdhInvalidData:
        // The same answer names a counter that is gone in its CStatus.
        return counterStatus == kPdhCStatusInvalidData ? FormatOutcome::NoSample : FormatOutcome::Failed;
    case kPdhCalcNegativeDenominator:
    case kPdhCalcNegativeTimebase:
    case kPdhCalcNegativeValue:
        return FormatOutcome::NoSample;
    default:
        return FormatOutcome::Failed;
    }
}
