#pragma once
// The process-wide map from key name to gauge. The pointers do not own the
// gauges; nothing ever deletes one.

#include <map>
#include <string>

#include "gauges/Monitor.h"

class MonitorRegistry {
public:
    // The slot filed under keyName; a null slot is inserted first if the key
    // name is not filed yet.
    Monitor*& slotFor(const std::wstring& keyName);

    std::map<std::wstring, Monitor*> monitors;
};

extern MonitorRegistry monitorRegistry;
