#pragma once
// A strip's size at a display scale: the 96-DPI gauge of 60 x 40 grown by
// dpi / 96. The main window leaves out a strip's last two columns and its
// last strip's bottom two rows at every scale: what a one-pixel border each
// side takes at 96 DPI.

#include "common/DisplayScale.h"

constexpr int kStripWidth = 60;
constexpr int kStripHeight = 40;
constexpr int kHiddenStripPixels = 2;

// More strips than any machine's processors and memory can ask for; a
// count above it is laid out as this many, so no size overflows.
constexpr int kMaxStrips = 4096;

struct StripSize {
    int dpi;           // usableDpi of the DPI asked for: what the picture is scaled for
    int width;
    int height;
    int visibleWidth;  // width less the hidden columns
};

inline StripSize stripSizeAt(int dpi)
{
    const int at = usableDpi(dpi);
    const int width = static_cast<int>(scaledLength(kStripWidth, at));
    return {at, width, static_cast<int>(scaledLength(kStripHeight, at)), width - kHiddenStripPixels};
}
