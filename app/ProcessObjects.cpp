// The process-wide objects, defined in one place so that they are built in
// this order before wWinMain runs and torn down in reverse after it returns:
// the counter query, then the settings, then the monitor registry.

#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"
#include "settings/Settings.h"

CounterQuery counterQuery;
Settings settings;
MonitorRegistry monitorRegistry;
