// MonitorRegistry: the map in which the paint pass finds the gauge for each
// key name. It hands out slots; it never creates or deletes a gauge.

#include "gauges/MonitorRegistry.h"

AveragingPercentMonitor*& MonitorRegistry::slotFor(const std::wstring& keyName)
{
    // operator[] files an unknown key name with a null pointer first.
    return monitors[keyName];
}
