#pragma once
// A piece of label text as the platform rendered it once, laid over a
// strip's pixels as often as it shows, with nothing of the platform. Under
// a label lie only the strip's background and its bars, so a piece rendered
// once over each gives, pixel for pixel, what drawing the text there again
// would give, whatever the font's antialiasing does with those colours.

#include <cstdint>
#include <vector>

#include "gauges/BarPixels.h"

struct LabelStamp {
    struct Pixel {
        std::int16_t x;  // from where the text starts; a glyph may reach left of it
        std::int16_t y;
        std::uint32_t overBackground;
        std::uint32_t overBar;
    };
    int advance = 0;  // where the text after it starts
    int left = 0;     // the columns its pixels take, [left, right)
    int right = 0;
    std::vector<Pixel> pixels;
};

// The two colours a strip shows under its label, as 32-bit pixels.
struct StripColours {
    std::uint32_t background;
    std::uint32_t bar;
};

// Lays `first` with its origin at (x, y) and `second` from where `first`
// ends, within `clip` and the surface. Writes nothing and returns false
// where a pixel under them is neither background nor bar, or the two take a
// column both: the caller then draws the text itself.
bool stampLabel(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                const LabelStamp& first, const LabelStamp& second, const StripColours& colours);
