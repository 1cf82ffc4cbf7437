// Any strip count, up to past the bound, any work-area height and, when the
// input has two more bytes, any DPI, and with one more, any border. Every
// strip's cell must lie inside the window and its column, a window must be
// no taller than a work area that holds one row, and the columns must be the
// fewest whose rows fit, none empty and no two more than one strip apart.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ui/StripLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint16_t count = 0;
    std::int32_t height = 0;
    if (size < sizeof(count) + sizeof(height))
        return 0;
    std::memcpy(&count, data, sizeof(count));
    std::memcpy(&height, data + sizeof(count), sizeof(height));
    std::int16_t dpi = kBaseDpi;
    if (size >= sizeof(count) + sizeof(height) + sizeof(dpi))
        std::memcpy(&dpi, data + sizeof(count) + sizeof(height), sizeof(dpi));
    std::int8_t borderAsked = kBaseBorder;
    if (size >= sizeof(count) + sizeof(height) + sizeof(dpi) + sizeof(borderAsked))
        std::memcpy(&borderAsked, data + sizeof(count) + sizeof(height) + sizeof(dpi), sizeof(borderAsked));
    const int strips = count % (kMaxStrips + 100);

    const StripLayout layout = stripLayout(strips, height, dpi, borderAsked);
    const int shown = std::min(strips, kMaxStrips);
    const int stripHeight = static_cast<int>(scaledLength(kStripHeight, usableDpi(dpi)));
    const int border = std::clamp<int>(borderAsked, 0, kMaxBorder);
    // A column of R rows is R strip heights less the two hidden rows, and
    // the border above and below.
    const std::int64_t frame = 2 * border - kHiddenStripPixels;
    const int rowsThatFit = static_cast<int>(std::max<std::int64_t>(1, (height - frame) / stripHeight));
    bool holds = layout.stripCount == shown && layout.columns >= 1;
    holds &= std::int64_t{layout.columns - 1} * rowsThatFit < std::max(shown, 1);
    holds &= std::int64_t{layout.columns} * rowsThatFit >= shown;
    holds &= layout.strip.dpi == usableDpi(dpi) && layout.strip.height == stripHeight;
    holds &= layout.pitch == layout.strip.visibleWidth + 1 && layout.border == border;
    holds &= layout.width == layout.clientWidth + 2 * border && (shown == 0 || layout.height == layout.clientHeight + 2 * border);
    holds &= height - frame < stripHeight || layout.height <= height;
    int total = 0;
    for (int column = 0; column < layout.columns; ++column) {
        const int inColumn = stripsInColumn(layout, column);
        holds &= (inColumn >= 1 || shown == 0) && inColumn >= layout.rows - 1 && inColumn <= layout.rows;
        total += inColumn;
    }
    holds &= total == shown;
    for (int k = 0; k < shown; ++k) {
        const StripCell cell = stripCell(layout, k);
        holds &= cell.x == layout.pitch * cell.column && cell.x + layout.strip.visibleWidth <= layout.clientWidth;
        holds &= cell.y >= 0 && cell.y + stripHeight <= stripHeight * stripsInColumn(layout, cell.column);
        holds &= k == 0 || cell.y == 0 || stripCell(layout, k - 1).column == cell.column;
    }
    if (!holds)
        std::abort();
    return 0;
}
