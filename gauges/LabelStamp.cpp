// LabelStamp: laying rendered label pieces over a strip's pixels. Each
// pixel a piece changes takes the colour the platform gave it over what
// lies beneath: the background or a bar.

#include "gauges/LabelStamp.h"

#include <algorithm>

namespace {

// Calls visit(pixel, over) for each of the stamp's pixels that lands inside
// clip and the surface; stops and returns false as soon as visit does.
template <typename Visit>
bool forEachShown(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                  const LabelStamp& stamp, Visit visit)
{
    const std::int64_t left = std::max<std::int64_t>(clip.left, 0);
    const std::int64_t top = std::max<std::int64_t>(clip.top, 0);
    const std::int64_t right = std::min<std::int64_t>(clip.right, surface.width);
    const std::int64_t bottom = std::min<std::int64_t>(clip.bottom, surface.height);
    for (const LabelStamp::Pixel& pixel : stamp.pixels) {
        const std::int64_t column = x + pixel.x;
        const std::int64_t row = y + pixel.y;
        if (column < left || column >= right || row < top || row >= bottom)
            continue;
        if (!visit(surface.rows[row * surface.pitch + column], pixel))
            return false;
    }
    return true;
}

bool liesOnStrip(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                 const LabelStamp& stamp, const StripColours& colours)
{
    return forEachShown(surface, clip, x, y, stamp, [&colours](std::uint32_t under, const LabelStamp::Pixel&) {
        return under == colours.background || under == colours.bar;
    });
}

void lay(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y, const LabelStamp& stamp,
         const StripColours& colours)
{
    forEachShown(surface, clip, x, y, stamp, [&colours](std::uint32_t& under, const LabelStamp::Pixel& pixel) {
        under = under == colours.bar ? pixel.overBar : pixel.overBackground;
        return true;
    });
}

} // namespace

bool stampLabel(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                const LabelStamp& first, const LabelStamp& second, const StripColours& colours)
{
    const std::int64_t secondX = x + first.advance;
    const bool bothTouched = !first.pixels.empty() && !second.pixels.empty();
    if (bothTouched && x + first.right > secondX + second.left)
        return false;
    if (!liesOnStrip(surface, clip, x, y, first, colours) || !liesOnStrip(surface, clip, secondX, y, second, colours))
        return false;
    lay(surface, clip, x, y, first, colours);
    lay(surface, clip, secondX, y, second, colours);
    return true;
}
