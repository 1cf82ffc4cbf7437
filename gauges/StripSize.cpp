// StripSize: one strip's size at a display scale.

#include "gauges/StripSize.h"

StripSize stripSizeAt(int dpi)
{
    const int at = usableDpi(dpi);
    const int width = static_cast<int>(scaledLength(kStripWidth, at));
    return {at, width, static_cast<int>(scaledLength(kStripHeight, at)), width - kHiddenStripPixels};
}
