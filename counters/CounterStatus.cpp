// A counter's format status sorted into a value, no value this time, or
// trouble of its own. A rate counter has no value until its query was
// collected twice, and Windows now and then gives one counter a calculation
// warning (after a sleep, a clock change, or two collects too close
// together): neither is trouble. A CStatus that names the instance, object
// or counter as gone is, whatever the status says.

#include "counters/CounterStatus.h"

namespace {

bool isGone(std::uint32_t counterStatus)
{
    return counterStatus == kPdhCStatusNoInstance || counterStatus == kPdhCStatusNoObject ||
           counterStatus == kPdhCStatusNoCounter;
}

} // namespace

FormatOutcome formatOutcome(std::uint32_t status, std::uint32_t counterStatus)
{
    if (isGone(counterStatus))
        return FormatOutcome::Failed;
    switch (status) {
    case 0:
        // "If the value of the CStatus member does not indicate success, do
        // not use the data."
        return counterStatus == kPdhCStatusValidData || counterStatus == kPdhCStatusNewData ? FormatOutcome::Fresh
                                                                                             : FormatOutcome::NoSample;
    case kPdhInvalidData:
        return counterStatus == kPdhCStatusInvalidData ? FormatOutcome::NoSample : FormatOutcome::Failed;
    case kPdhCalcNegativeDenominator:
    case kPdhCalcNegativeTimebase:
    case kPdhCalcNegativeValue:
        return FormatOutcome::NoSample;
    default:
        return FormatOutcome::Failed;
    }
}
