#pragma once
// The process-wide map from key name to gauge; nothing ever deletes one.
// Every gauge is an averaging one, so the paint pass reads its data without
// a cast.

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
