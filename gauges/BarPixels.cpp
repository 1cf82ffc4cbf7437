// BarPixels: the averaging gauge's bars as pixels at any display scale,
// written into a 32-bit buffer the gauge hands over, clipped to a rectangle
// and the buffer. At 96 DPI the rows match what a one-pixel pen line from
// the foot upwards covers; at another scale every length grows by MulDiv's
// rule, so a strip shows the same span of time at every scale.

#include "gauges/BarPixels.h"

#include <algorithm>

#include "common/DisplayScale.h"

namespace {

void fillColumn(const PixelRows& surface, const PixelRect& clip, std::int64_t column, RowSpan rows,
                std::uint32_t colour)
{
    if (column < std::max<std::int64_t>(clip.left, 0) || column >= std::min<std::int64_t>(clip.right, surface.width))
        return;
    const std::int64_t top = std::max({rows.top, clip.top, std::int64_t{0}});
    const std::int64_t bottom = std::min({rows.bottom, clip.bottom, std::int64_t{surface.height}});
    if (top >= bottom)
        return;
    std::uint32_t* pixel = surface.rows + top * surface.pitch + column;
    for (std::int64_t row = top; row < bottom; ++row, pixel += surface.pitch)
        *pixel = colour;
}

} // namespace

ColumnSpan barColumns(const BarPlacement& placement, std::size_t position, std::size_t meanCount)
{
    const std::int64_t column = barColumn(position, meanCount, placement.width - 1);
    return ColumnSpan{placement.left + scaledLength(column, placement.dpi),
                      placement.left + scaledLength(column + 1, placement.dpi)};
}

RowSpan barRows(const BarPlacement& placement, double mean)
{
    const std::int64_t height = scaledLength(placement.height, placement.dpi);
    const std::int64_t footTop = placement.top + height;
    const std::int64_t footBottom = placement.top + scaledLength(placement.height + 1, placement.dpi);
    const int length = barLength(mean, static_cast<int>(height));
    if (length >= 0)
        return RowSpan{footTop - length, footBottom};
    return RowSpan{footTop, footTop - length - 1};
}

BarPositions barsShown(const BarPlacement& placement, std::size_t meanCount, std::int64_t left, std::int64_t right)
{
    if (left >= right)
        return BarPositions{};
    // The 96-DPI columns whose scaled spans reach into [left, right).
    const std::int64_t first = firstLengthReaching(left - placement.left + 1, placement.dpi) - 1;
    const std::int64_t end = firstLengthReaching(right - placement.left, placement.dpi);
    return barsInColumns(meanCount, placement.width - 1, first, end);
}

bool barsStayInStrip(const std::deque<double>& means, BarPositions shown, const BarPlacement& placement)
{
    const std::int64_t footBottom = placement.top + scaledLength(placement.height + 1, placement.dpi);
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const RowSpan rows = barRows(placement, means[position]);
        if (rows.top < rows.bottom && (rows.top < placement.top || rows.bottom > footBottom))
            return false;
    }
    return true;
}

PixelRect barArea(const PixelRect& clip, const std::deque<double>& means, BarPositions shown,
                  const BarPlacement& placement)
{
    PixelRect area = {clip.right, clip.bottom, clip.left, clip.top};
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const ColumnSpan columns = barColumns(placement, position, means.size());
        const RowSpan rows = barRows(placement, means[position]);
        if (columns.left >= columns.right || rows.top >= rows.bottom)
            continue;
        area = {std::min(area.left, columns.left), std::min(area.top, rows.top), std::max(area.right, columns.right),
                std::max(area.bottom, rows.bottom)};
    }
    return {std::max(area.left, clip.left), std::max(area.top, clip.top), std::min(area.right, clip.right),
            std::min(area.bottom, clip.bottom)};
}

void paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
               BarPositions shown, const BarPlacement& placement, std::uint32_t colour)
{
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const ColumnSpan columns = barColumns(placement, position, means.size());
        const RowSpan rows = barRows(placement, means[position]);
        for (std::int64_t column = columns.left; column < columns.right; ++column)
            fillColumn(surface, clip, column, rows, colour);
    }
}
