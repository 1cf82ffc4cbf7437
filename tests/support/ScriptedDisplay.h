#pragma once
// The display table of the test program: the system's, with the monitor
// enumerations counted, or answered with monitors of the test's own, so that
// a test can put the main window on a second monitor Wine does not have.

#include <cstddef>

#include "common/DisplayFunctions.h"
#include "ui/WindowPlan.h"

namespace ScriptedDisplay {

const DisplayFunctions& table();
// Back to the system's monitors, and the count to zero.
void reset();
// Every enumeration from now on lists these instead.
void setMonitors(const Monitors& monitors);
std::size_t monitorReads();

} // namespace ScriptedDisplay
