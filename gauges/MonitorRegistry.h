#pragma once
// The process-wide map from key name to gauge. The pointers do not own the
// gauges; nothing ever deletes one. Every gauge is an averaging one, so the
// map says so and the paint pass reads each gauge's data without a cast.

#include <map>
#include <string>

class AveragingPercentMonitor;

class MonitorRegistry {
public:
    // The slot filed under keyName; a null slot is inserted first if the key
    // name is not filed yet.
    AveragingPercentMonitor*& slotFor(const std::wstring& keyName) { return monitors[keyName]; }

    std::map<std::wstring, AveragingPercentMonitor*> monitors;
};

extern MonitorRegistry monitorRegistry;
