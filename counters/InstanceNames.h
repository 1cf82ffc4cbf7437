#pragma once
// The instance names a wildcard counter path stands for, read once on a PDH
// query of their own.

#include <string>
#include <vector>

#include "counters/PdhFunctions.h"

// Adds `wildcardPath` (an English path with "*" for the instance) to a new
// query, collects once and returns the names of the raw counter array, as
// PDH lists them; empty when any step fails or nothing is listed. The raw
// array needs one collect, where a formatted one of a rate counter would
// need two.
std::vector<std::wstring> instanceNames(const PdhFunctions& pdh, const wchar_t* wildcardPath);
