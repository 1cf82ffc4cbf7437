#pragma once
// The polling timer: its id, and its period for a frequency in ticks per
// second (pollingPeriodMs, with the rest of the polling rate's rules).

#include "settings/PollingRate.h"

constexpr unsigned kPollingTimerId = 1;
