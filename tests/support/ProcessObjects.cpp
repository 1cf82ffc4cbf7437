// The process-wide counter query and monitor registry of the test program.
// The query runs on the scripted PDH, so no test ever reaches pdh.dll
// through it.

#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"
#include "tests/support/ScriptedPdh.h"

CounterQuery counterQuery(scriptedPdhTable);
MonitorRegistry monitorRegistry;
