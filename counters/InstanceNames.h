#pragma once
// The instance names a wildcard counter path stands for.

#include <string>
#include <vector>

#include "counters/PdhFunctions.h"

// Adds `wildcardPath` (an English path with "*" for the instance) to a new
// query, collects once (a raw array needs one, a formatted rate two) and
// returns the raw counter array's names as PDH lists them; empty when any
// step fails or nothing is listed.
std::vector<std::wstring> instanceNames(const PdhFunctions& pdh, const wchar_t* wildcardPath);
