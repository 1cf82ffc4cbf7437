// The process-wide objects, defined in one place so that they are built in
// this order before wWinMain runs and torn down in reverse after it returns:
// the counter query, then the settings, then the monitor registry. Before
// any of them, every later DLL load is limited to System32.

#include <windows.h>

#include "common/DisplayFunctions.h"
#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"
#include "settings/Settings.h"

namespace {

// plix.exe is often run from a folder others can write to (Downloads), so
// no DLL that user32, gdi32 or the counter query load later may come from
// the exe's own folder or the current one.
bool limitDllSearchToSystem32()
{
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

[[maybe_unused]] const bool dllSearchLimited = limitDllSearchToSystem32();

}  // namespace

CounterQuery counterQuery;
Settings settings;
MonitorRegistry monitorRegistry;

// Bound after the DLL search is limited: shcore, which an older Windows
// needs for a window's DPI, is loaded from System32 only.
const DisplayFunctions& displayFunctions = systemDisplayFunctions();
