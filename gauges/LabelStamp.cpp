// LabelStamp: laying rendered label pieces over a strip's pixels. Each
// pixel a piece changes takes the colour the platform gave it over what
// lies beneath: the background or a bar.

#include "gauges/LabelStamp.h"

#include <algorithm>

namespace {

// Calls visit(pixel under it, its pixel, column, row) for each of the
// stamp's pixels that lands inside clip and the surface; stops and returns
// false as soon as visit does. A stamp wholly inside, the common case, is
// walked without a test a pixel.
template <typename Visit>
bool forEachShown(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                  const LabelStamp& stamp, Visit visit)
{
    const std::int64_t left = std::max<std::int64_t>(clip.left, 0);
    const std::int64_t top = std::max<std::int64_t>(clip.top, 0);
    const std::int64_t right = std::min<std::int64_t>(clip.right, surface.width);
    const std::int64_t bottom = std::min<std::int64_t>(clip.bottom, surface.height);
    const bool inside = x + stamp.left >= left && x + stamp.right <= right && y >= top && y + stamp.bottom <= bottom;
    for (const LabelStamp::Pixel& pixel : stamp.pixels) {
        const std::int64_t column = x + pixel.x;
        const std::int64_t row = y + pixel.y;
        if (!inside && (column < left || column >= right || row < top || row >= bottom))
            continue;
        if (!visit(surface.rows[row * surface.pitch + column], pixel, column, row))
            return false;
    }
    return true;
}

bool liesOnStrip(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                 const LabelStamp& stamp, const StripColours& colours)
{
    return forEachShown(surface, clip, x, y, stamp,
                        [&colours](std::uint32_t under, const LabelStamp::Pixel&, std::int64_t, std::int64_t) {
                            return under == colours.background || under == colours.bar;
                        });
}

void lay(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y, const LabelStamp& stamp,
         const StripColours& colours)
{
    forEachShown(surface, clip, x, y, stamp,
                 [&colours](std::uint32_t& under, const LabelStamp::Pixel& pixel, std::int64_t, std::int64_t) {
                     under = under == colours.bar ? pixel.overBar : pixel.overBackground;
                     return true;
                 });
}

void unlay(const PixelRows& surface, const LaidLabel& label, std::int64_t x, const LabelStamp& stamp,
           const UnderLabel& under, const StripColours& colours)
{
    const std::int64_t columns = static_cast<std::int64_t>(under.columns.size());
    forEachShown(surface, label.clip, x, label.y, stamp,
                 [&](std::uint32_t& pixel, const LabelStamp::Pixel&, std::int64_t column, std::int64_t row) {
                     const std::int64_t index = column - under.left;
                     const std::int64_t down = row - under.top;
                     if (index < 0 || index >= columns || down < 0)
                         return true;
                     const UnderLabel::Column& lying = under.columns[static_cast<std::size_t>(index)];
                     pixel = down < lying.footRows || down >= lying.barFrom ? colours.bar : colours.background;
                     return true;
                 });
}

// Glyphs of the two pieces take a column both: laying one over the
// other's antialiased edge would not give what the platform draws.
bool piecesMeet(std::int64_t x, const LabelStamp& first, std::int64_t secondX, const LabelStamp& second)
{
    return !first.pixels.empty() && !second.pixels.empty() && x + first.right > secondX + second.left;
}

bool sameClip(const PixelRect& a, const PixelRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool isBar(const PixelRows& surface, std::int64_t column, std::int64_t row, const StripColours& colours)
{
    return surface.rows[row * surface.pitch + column] == colours.bar;
}

} // namespace

bool stampLabel(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                const LabelStamp& first, const LabelStamp& second, const StripColours& colours)
{
    const std::int64_t secondX = x + first.advance;
    if (piecesMeet(x, first, secondX, second))
        return false;
    if (!liesOnStrip(surface, clip, x, y, first, colours) || !liesOnStrip(surface, clip, secondX, y, second, colours))
        return false;
    lay(surface, clip, x, y, first, colours);
    lay(surface, clip, secondX, y, second, colours);
    return true;
}

void readUnderLabel(const PixelRows& surface, const PixelRect& rows, const StripColours& colours, UnderLabel& under)
{
    const std::int64_t left = std::max<std::int64_t>(rows.left, 0);
    const std::int64_t top = std::max<std::int64_t>(rows.top, 0);
    const std::int64_t right = std::min<std::int64_t>(rows.right, surface.width);
    const std::int64_t bottom = std::min<std::int64_t>(rows.bottom, surface.height);
    under.left = left;
    under.top = top;
    under.columns.resize(static_cast<std::size_t>(std::max<std::int64_t>(right - left, 0)));
    for (std::int64_t column = left; column < right; ++column) {
        std::int64_t footEnd = top;
        while (footEnd < bottom && isBar(surface, column, footEnd, colours))
            ++footEnd;
        std::int64_t barFrom = bottom;
        while (barFrom > footEnd && isBar(surface, column, barFrom - 1, colours))
            --barFrom;
        under.columns[static_cast<std::size_t>(column - left)] = {static_cast<std::uint16_t>(footEnd - top),
                                                                   static_cast<std::uint16_t>(barFrom - top)};
    }
}

void eraseLabel(const PixelRows& surface, const LaidLabel& label, const UnderLabel& under, const StripColours& colours)
{
    if (label.first == nullptr)
        return;
    unlay(surface, label, label.x, *label.first, under, colours);
    unlay(surface, label, label.x + label.first->advance, *label.second, under, colours);
}

bool relayLabel(const PixelRows& surface, const LaidLabel& laid, const LaidLabel& fresh, const UnderLabel& under,
                const StripColours& colours)
{
    const bool firstStays = laid.first != nullptr && laid.first == fresh.first && laid.x == fresh.x &&
                            laid.y == fresh.y && sameClip(laid.clip, fresh.clip);
    if (!firstStays) {
        eraseLabel(surface, laid, under, colours);
        return fresh.first != nullptr &&
               stampLabel(surface, fresh.clip, fresh.x, fresh.y, *fresh.first, *fresh.second, colours);
    }
    const std::int64_t secondX = laid.x + laid.first->advance;
    unlay(surface, laid, secondX, *laid.second, under, colours);
    if (piecesMeet(fresh.x, *fresh.first, secondX, *fresh.second) ||
        !liesOnStrip(surface, fresh.clip, secondX, fresh.y, *fresh.second, colours))
        return false;
    lay(surface, fresh.clip, secondX, fresh.y, *fresh.second, colours);
    return true;
}
