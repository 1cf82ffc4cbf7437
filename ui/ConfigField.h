#pragma once
// Reading the Config dialog's frequency field, in the polling rate's range.

#include <cstdint>
#include <optional>

#include "settings/PollingRate.h"

// The frequency typed into the field, or nothing when the text does not
// start with a number from 1 to 10, after white space and a sign; anything
// after the digits is ignored ("3abc" gives 3), and no number wraps.
std::optional<std::int32_t> parseFrequencyField(const wchar_t* text);
