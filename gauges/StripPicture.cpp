// StripPicture: the bars and labels of the strips as pixels, clipped to a
// rectangle and the surface. At another scale every length grows by
// MulDiv's rule, so a strip shows the same span of time at every scale.

#include "gauges/StripPicture.h"

#include <algorithm>

#include "common/DisplayScale.h"

namespace {

// The rows a bar for `mean` covers. Its length h is the scaled height x
// mean, truncated. At 96 DPI they are what a one-pixel pen line from the
// foot to foot - h - 1 covers, the line leaving out its end point: h + 1
// rows up to and including the foot for h >= 0; for a negative h, the rows
// from the foot downwards short of that end point (none for -1).
RowSpan barRows(const BarPlacement& placement, double mean)
{
    const std::int64_t height = scaledLength(placement.height, placement.dpi);
    const std::int64_t footTop = placement.top + height;
    const std::int64_t footBottom = placement.top + scaledLength(placement.height + 1, placement.dpi);
    const int length = barLength(mean, static_cast<int>(height));
    if (length >= 0)
        return {footTop - length, footBottom};
    return {footTop, footTop - length - 1};
}

// The pixels of the bar at history position `position`: the newest mean
// stands on the gauge's rightmost 96-DPI column.
PixelRect barArea(const BarPlacement& placement, const std::deque<double>& means, std::size_t position)
{
    const std::int64_t column = barColumn(position, means.size(), placement.width - 1);
    const RowSpan rows = barRows(placement, means[position]);
    return {placement.left + scaledLength(column, placement.dpi), rows.top,
            placement.left + scaledLength(column + 1, placement.dpi), rows.bottom};
}

// The history positions whose bars touch the surface columns [left, right).
BarPositions barsShown(const BarPlacement& placement, std::size_t meanCount, std::int64_t left, std::int64_t right)
{
    if (left >= right)
        return BarPositions{};
    // The 96-DPI columns whose scaled spans reach into [left, right).
    const std::int64_t first = firstLengthReaching(left - placement.left + 1, placement.dpi) - 1;
    const std::int64_t end = firstLengthReaching(right - placement.left, placement.dpi);
    return barsInColumns(meanCount, placement.width - 1, first, end);
}

// Calls visit(pixel under it, the piece's pixel) for each pixel of the
// piece at (x, y) inside clip and the surface; stops and returns false as
// soon as visit does. A piece wholly inside, the common case, is walked
// without a test a pixel.
template <typename Visit>
bool forEachShown(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                  const LabelPiece& piece, Visit visit)
{
    const PixelRect within = intersection(clip, surfaceArea(surface));
    const bool inside = x + piece.left >= within.left && x + piece.right <= within.right && y >= within.top &&
                        y + piece.bottom <= within.bottom;
    for (const LabelPiece::Pixel& pixel : piece.pixels) {
        const std::int64_t column = x + pixel.x;
        const std::int64_t row = y + pixel.y;
        if (!inside && (column < within.left || column >= within.right || row < within.top || row >= within.bottom))
            continue;
        if (!visit(surface.rows[row * surface.pitch + column], pixel))
            return false;
    }
    return true;
}

bool liesOnStrip(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                 const LabelPiece& piece, const StripColours& colours)
{
    return forEachShown(surface, clip, x, y, piece, [&colours](std::uint32_t under, const LabelPiece::Pixel&) {
        return under == colours.background || under == colours.bar;
    });
}

void lay(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y, const LabelPiece& piece,
         const StripColours& colours)
{
    forEachShown(surface, clip, x, y, piece, [&colours](std::uint32_t& under, const LabelPiece::Pixel& pixel) {
        under = under == colours.bar ? pixel.overBar : pixel.overBackground;
        return true;
    });
}

PixelRect pieceArea(const LabelPiece* piece, std::int64_t x, std::int64_t y)
{
    if (piece == nullptr || piece->pixels.empty())
        return {0, 0, 0, 0};
    return {x + piece->left, y, x + piece->right, y + piece->bottom};
}

// Rounds numerator / denominator to the nearest whole number, halves away
// from zero; denominator > 0.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t magnitude = (2 * (numerator < 0 ? -numerator : numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// The pixels from (x0, y0) towards (x1, y1), the end point left out.
void drawLine(const PixelRows& surface, const PixelRect& within, std::int64_t x0, std::int64_t y0, std::int64_t x1,
              std::int64_t y1, std::uint32_t colour)
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const std::int64_t steps = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    for (std::int64_t i = 0; i < steps; ++i) {
        const std::int64_t x = x0 + roundedQuotient(dx * i, steps);
        const std::int64_t y = y0 + roundedQuotient(dy * i, steps);
        if (x >= within.left && x < within.right && y >= within.top && y < within.bottom)
            surface.rows[y * surface.pitch + x] = colour;
    }
}

bool meets(const RowSpan& rows, const PixelRect& area)
{
    return rows.top < rows.bottom && rows.top < area.bottom && area.top < rows.bottom;
}

} // namespace

void fillArea(const PixelRows& surface, const PixelRect& area, std::uint32_t pixel)
{
    const PixelRect within = intersection(area, surfaceArea(surface));
    if (isEmpty(within))
        return;
    for (std::int64_t y = within.top; y < within.bottom; ++y)
        std::fill(surface.rows + y * surface.pitch + within.left, surface.rows + y * surface.pitch + within.right,
                  pixel);
}

void drawCross(const PixelRows& surface, const PixelRect& clip, const PixelRect& area, std::uint32_t colour)
{
    const PixelRect within = intersection(intersection(clip, area), surfaceArea(surface));
    if (isEmpty(within))
        return;
    drawLine(surface, within, area.left, area.top, area.right, area.bottom, colour);
    drawLine(surface, within, area.right - 1, area.top, area.left, area.bottom, colour);
}

RowSpan paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
                  const BarPlacement& placement, std::uint32_t colour)
{
    const PixelRect within = intersection(clip, surfaceArea(surface));
    RowSpan taken = {within.bottom, within.top};
    const BarPositions shown = barsShown(placement, means.size(), within.left, within.right);
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const PixelRect bar = intersection(barArea(placement, means, position), within);
        if (isEmpty(bar))
            continue;
        taken = {std::min(taken.top, bar.top), std::max(taken.bottom, bar.bottom)};
        fillArea(surface, bar, colour);
    }
    return taken;
}

PixelRect piecesArea(const LaidLabel& label)
{
    if (label.first == nullptr)
        return {0, 0, 0, 0};
    return bounding(pieceArea(label.first, label.x, label.y),
                    pieceArea(label.second, label.x + label.first->advance, label.y));
}

bool piecesMeet(const LaidLabel& label)
{
    return label.first != nullptr && !label.first->pixels.empty() && !label.second->pixels.empty() &&
           label.first->right > label.first->advance + label.second->left;
}

PixelRect relabelArea(const LaidLabel& from, const LaidLabel& to)
{
    // Pieces that meet are never laid, so neither label keeps a first piece then.
    const bool firstStays = from.first != nullptr && from.first == to.first && from.x == to.x && from.y == to.y &&
                            !piecesMeet(from) && !piecesMeet(to);
    if (!firstStays)
        return bounding(piecesArea(from), piecesArea(to));
    const std::int64_t secondX = from.x + from.first->advance;
    return bounding(pieceArea(from.second, secondX, from.y), pieceArea(to.second, secondX, to.y));
}

bool layLabel(const PixelRows& surface, const PixelRect& clip, const LaidLabel& label, const StripColours& colours)
{
    if (label.first == nullptr || piecesMeet(label))
        return false;
    const std::int64_t secondX = label.x + label.first->advance;
    if (!liesOnStrip(surface, clip, label.x, label.y, *label.first, colours) ||
        !liesOnStrip(surface, clip, secondX, label.y, *label.second, colours))
        return false;
    lay(surface, clip, label.x, label.y, *label.first, colours);
    lay(surface, clip, secondX, label.y, *label.second, colours);
    return true;
}

void drawStrips(const PixelRows& surface, const PixelRect& clip, std::vector<StripDrawing>& strips, std::size_t first,
                std::size_t end, Reach reach, const StripColours& colours, const DrawLabel& drawLabel)
{
    fillArea(surface, clip, colours.background);
    for (std::size_t k = first; k < end; ++k) {
        StripDrawing& strip = strips[k];
        if (strip.crossed) {
            strip.reach = {0, 0};
            drawCross(surface, clip, strip.cell, colours.cross);
            continue;
        }
        if (reach == Reach::Measure)
            strip.reach = paintBars(surface, clip, *strip.means, strip.bars, colours.bar);
        else if (meets(strip.reach, clip))
            paintBars(surface, clip, *strip.means, strip.bars, colours.bar);
        const PixelRect labelClip = intersection(clip, strip.cell);
        if (!isEmpty(labelClip))
            drawLabel(k, labelClip);
    }
}
