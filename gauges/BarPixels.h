#pragma once
// Bars as 32-bit pixels, with nothing of the platform: where a bar stands at
// a display scale, the rectangle the shown bars take within a clip
// rectangle, and the clipped writes into a pixel buffer. The gauge stamps
// that buffer onto its DC.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "gauges/SampleAverager.h"

// Where a gauge's bars go: its top-left corner on the surface, its size at
// 96 DPI and the DPI it is drawn at. The bar that stands on 96-DPI column c
// (counted from the gauge's left edge) covers the scaled columns c to c + 1,
// and its foot the scaled rows height to height + 1, so the picture is the
// 96-DPI one grown by dpi / 96.
struct BarPlacement {
    std::int64_t left;
    std::int64_t top;
    int width;
    int height;
    int dpi;
};

// Columns [left, right); empty when left >= right.
struct ColumnSpan {
    std::int64_t left;
    std::int64_t right;
};

// Rows [top, bottom); empty when top >= bottom.
struct RowSpan {
    std::int64_t top;
    std::int64_t bottom;
};

// The surface columns of the bar of history position `position` out of
// `meanCount` means, the newest on the gauge's rightmost 96-DPI column.
ColumnSpan barColumns(const BarPlacement& placement, std::size_t position, std::size_t meanCount);

// The rows a bar for `mean` covers. Its length h is the scaled height x mean,
// truncated. At 96 DPI they are what a one-pixel pen line from the foot to
// foot - h - 1 covers, the line leaving out its end point: h + 1 rows up to
// and including the foot for h >= 0; for a negative h, the rows from the
// foot downwards short of that end point (none for -1). At another scale
// the foot is the scaled foot span, and a negative length starts from its
// top row.
RowSpan barRows(const BarPlacement& placement, double mean);

// The history positions whose bars touch the surface columns [left, right).
BarPositions barsShown(const BarPlacement& placement, std::size_t meanCount, std::int64_t left, std::int64_t right);

// Whether the bars of history positions `shown` stay within the rows from
// the gauge's top down to its foot, as the bar of any mean from 0 to 1 does;
// a mean above 1 reaches into the strip above, one below 0 further down.
bool barsStayInStrip(const std::deque<double>& means, BarPositions shown, const BarPlacement& placement);

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
                  const BarPlacement& placement);

// Sets the pixels of the bars of history positions `shown` to `colour`,
// within `clip` and the surface.
void paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
               BarPositions shown, const BarPlacement& placement, std::uint32_t colour);
