#pragma once
// Reading the Config dialog's frequency field.

#include <cstdint>
#include <optional>

constexpr wchar_t kFrequencyRangeMessage[] = L"Must enter a value between 1 and 10";

// The frequency typed into the field, or nothing when the text does not
// start with a number from 1 to 10. Leading white space is skipped, a sign
// is allowed, and anything after the digits is ignored, so "3abc" gives 3.
// Numbers too large for 32 bits are out of range, not wrapped.
std::optional<std::int32_t> parseFrequencyField(const wchar_t* text);
