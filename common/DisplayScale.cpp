// DisplayScale: the one rule by which plix's 96-DPI picture grows with the
// display scale, and its inverse for finding the columns a surface shows.

#include "common/DisplayScale.h"

#include <algorithm>

std::int64_t firstLengthReaching(std::int64_t scaled, int dpi)
{
    if (dpi == kBaseDpi)
        return scaled;
    // Start near the answer, step down until the length falls short, then
    // up to the first one that reaches: a step or two each way at any scale
    // from 48 DPI up.
    std::int64_t length = scaled * kBaseDpi / dpi;
    while (scaledLength(length, dpi) >= scaled)
        --length;
    while (scaledLength(length + 1, dpi) < scaled)
        ++length;
    return length + 1;
}

int usableDpi(int dpi)
{
    return dpi < 1 ? kBaseDpi : std::clamp(dpi, kMinDpi, kMaxDpi);
}
