#pragma once
// Reading the Config dialog's frequency field. The range it accepts and the
// message that states it are the polling rate's (settings/PollingRate.h).

#include <cstdint>
#include <optional>

#include "settings/PollingRate.h"

// The frequency typed into the field, or nothing when the text does not
// start with a number from 1 to 10. Leading white space is skipped, a sign
// is allowed, and anything after the digits is ignored, so "3abc" gives 3.
// Numbers too large for 32 bits are out of range, not wrapped.
std::optional<std::int32_t> parseFrequencyField(const wchar_t* text);
