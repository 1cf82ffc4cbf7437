// BarPixels: the averaging gauge's bars as pixels, written into a 32-bit
// buffer the gauge hands over, clipped to a rectangle and the buffer. The
// rows match what a one-pixel pen line from the foot upwards covers.

#include "gauges/BarPixels.h"

#include <algorithm>

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

RowSpan barRows(std::int64_t foot, int length)
{
    if (length >= 0)
        return RowSpan{foot - length, foot + 1};
    return RowSpan{foot, foot - length - 1};
}

PixelRect barArea(const PixelRect& clip, const std::deque<double>& means, BarPositions shown,
                  std::int64_t newestColumn, std::int64_t foot, int height)
{
    PixelRect area = {clip.right, clip.bottom, clip.left, clip.top};
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const std::int64_t column = barColumn(position, means.size(), newestColumn);
        const RowSpan rows = barRows(foot, barLength(means[position], height));
        if (rows.top >= rows.bottom)
            continue;
        area = {std::min(area.left, column), std::min(area.top, rows.top), std::max(area.right, column + 1),
                std::max(area.bottom, rows.bottom)};
    }
    return {std::max(area.left, clip.left), std::max(area.top, clip.top), std::min(area.right, clip.right),
            std::min(area.bottom, clip.bottom)};
}

void paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
               BarPositions shown, std::int64_t newestColumn, std::int64_t foot, int height, std::uint32_t colour)
{
    for (std::size_t position = shown.first; position < shown.end; ++position)
        fillColumn(surface, clip, barColumn(position, means.size(), newestColumn),
                   barRows(foot, barLength(means[position], height)), colour);
}
