// The process-wide settings of the test program. They point into a folder
// that does not exist, so the window tests that change them never leave a
// plix.cfg behind, not even at exit.

#include "settings/Settings.h"

Settings settings(L"Z:\\nonexistent\\plix-unit-tests\\plix.cfg", systemClock);
