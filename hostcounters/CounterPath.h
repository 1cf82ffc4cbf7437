#pragma once
// Reading the counter paths the host counters serve:
//   \Processor(N)\% Processor Time      busy share of logical processor N
//   \Processor Information(N,I)\% Processor Time
//                                       the same for processor I of node N
//   \Processor Information(*)\% Processor Time
//                                       every processor, node and total at once
//   \Memory\% Committed Bytes In Use    committed memory against its limit
// Object and counter names match without regard to ASCII case, as PDH's
// do. Anything else is refused with the reason PDH would give.

#include <string_view>

namespace hostcounters {

enum class PathVerdict {
    Processor,        // `processor` holds N
    NodeProcessor,    // `node` and `processor` hold N and I
    AllNodeProcessors,
    CommittedMemory,
    BadName,          // not of the form \object(instance)\counter
    NoMachine,        // names a computer (\\name\...); only this host is served
    NoObject,         // an object other than these three
    NoCounter,        // a known object, an unknown counter
    NoInstance,       // a processor instance not in the object's form, or an instance for Memory
};

struct CounterPath {
    PathVerdict verdict = PathVerdict::BadName;
    unsigned node = 0;
    unsigned processor = 0;
};

CounterPath parseCounterPath(std::wstring_view path);

}  // namespace hostcounters
