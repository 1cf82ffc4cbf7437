// The process-wide objects of the test program, in the program's order:
// the counter query, the settings, the monitor registry. The query runs on
// the scripted PDH, so no test ever reaches pdh.dll through it, and the main
// window on the scripted display table. The settings
// point into a folder that does not exist, so the window tests that change
// them never leave a plix.cfg behind, not even at exit.

#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"
#include "settings/Settings.h"
#include "tests/support/ScriptedDisplay.h"
#include "tests/support/ScriptedPdh.h"

CounterQuery counterQuery(scriptedPdhTable);
Settings settings(L"Z:\\nonexistent\\plix-unit-tests\\plix.cfg", systemClock);
MonitorRegistry monitorRegistry;
const DisplayFunctions& displayFunctions = ScriptedDisplay::table();
