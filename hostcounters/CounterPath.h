#pragma once
// Reading the counter paths the host counters serve:
//   \Processor(N)\% Processor Time      busy share of logical processor N
//   \Memory\% Committed Bytes In Use    committed memory against its limit
// Object and counter names match without regard to ASCII case, as PDH's
// do. Anything else is refused with the reason PDH would give.

#include <string_view>

namespace hostcounters {

enum class PathVerdict {
    Processor,        // `processor` holds N
    CommittedMemory,
    BadName,          // not of the form \object(instance)\counter
    NoMachine,        // names a computer (\\name\...); only this host is served
    NoObject,         // an object other than Processor and Memory
    NoCounter,        // a known object, an unknown counter
    NoInstance,       // a processor instance that is not a number, or an instance for Memory
};

struct CounterPath {
    PathVerdict verdict = PathVerdict::BadName;
    unsigned processor = 0;
};

CounterPath parseCounterPath(std::wstring_view path);

}  // namespace hostcounters
