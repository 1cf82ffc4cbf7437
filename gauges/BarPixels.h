#pragma once
// Bars as 32-bit pixels, with nothing of the platform: the rows a bar covers,
// the rectangle the shown bars take within a clip rectangle, and the clipped
// writes into a pixel buffer. The gauge stamps that buffer onto its DC.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "gauges/SampleAverager.h"

// Rows [top, bottom); empty when top >= bottom.
struct RowSpan {
    std::int64_t top;
    std::int64_t bottom;
};

// The rows a bar of `length` standing on row `foot` covers, the same as a
// one-pixel pen line from the foot to foot - length - 1, which leaves out its
// end point: h + 1 rows up to and including the foot for a length h >= 0;
// for a negative length, the rows from the foot downwards short of that end
// point (none for -1).
RowSpan barRows(std::int64_t foot, int length);

// A top-down surface of 32-bit pixels: row y starts at rows + y * pitch.
struct PixelRows {
    std::uint32_t* rows;
    std::ptrdiff_t pitch;
    int width;
    int height;
};

// Surface pixels [left, right) x [top, bottom).
struct PixelRect {
    std::int64_t left;
    std::int64_t top;
    std::int64_t right;
    std::int64_t bottom;
};

// The smallest rectangle inside `clip` holding every pixel of the bars of
// history positions `shown`; empty (left >= right or top >= bottom) when
// none of them shows.
PixelRect barArea(const PixelRect& clip, const std::deque<double>& means, BarPositions shown,
                  std::int64_t newestColumn, std::int64_t foot, int height);

// Sets the pixels of the bars of history positions `shown` to `colour`,
// within `clip` and the surface, the newest mean standing on `newestColumn`.
void paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
               BarPositions shown, std::int64_t newestColumn, std::int64_t foot, int height, std::uint32_t colour);
