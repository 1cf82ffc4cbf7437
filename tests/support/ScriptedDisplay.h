#pragma once
// The display table of the test program: every call goes to the system's,
// and the monitor enumerations are counted, or answered with monitors of the
// test's own, so that a test can put the main window on a second monitor
// that Wine does not have.

#include <cstddef>
#include <vector>

#include "common/DisplayFunctions.h"
#include "ui/WindowPlan.h"

namespace ScriptedDisplay {

// The table to hand the main window.
const DisplayFunctions& table();

// Back to the system's monitors, and the count to zero.
void reset();
// Every enumeration from now on lists these instead.
void setMonitors(const Monitors& monitors);
// Enumerations since the last reset.
std::size_t monitorReads();

} // namespace ScriptedDisplay
