// The strip layout: how many columns and rows, the window's size, and where
// each strip goes.

#include "ui/StripLayout.h"

#include <algorithm>
#include <cstdint>

namespace {

int ceilDiv(int numerator, int denominator)
{
    return numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
}

// The first columns, which hold `rows` strips each; the rest hold one fewer.
int longColumns(const StripLayout& layout)
{
    const int remainder = layout.stripCount % layout.columns;
    return remainder == 0 ? layout.columns : remainder;
}

StripCell cellAt(const StripLayout& layout, int column, int row)
{
    return {layout.pitch * column, layout.strip.height * row, column};
}

} // namespace

StripLayout stripLayoutInColumns(int stripCount, int columns, int dpi, int border)
{
    StripLayout layout = {};
    layout.stripCount = std::clamp(stripCount, 0, kMaxStrips);
    layout.columns = std::clamp(columns, 1, std::max(layout.stripCount, 1));
    layout.rows = ceilDiv(layout.stripCount, layout.columns);
    layout.strip = stripSizeAt(dpi);
    layout.border = std::clamp(border, 0, kMaxBorder);
    layout.pitch = layout.strip.visibleWidth + 1;
    layout.clientWidth = layout.pitch * layout.columns - 1;
    // The rows less the last strip's bottom two; nothing at all without strips.
    layout.clientHeight = std::max(0, layout.strip.height * layout.rows - kHiddenStripPixels);
    layout.width = layout.clientWidth + 2 * layout.border;
    layout.height = layout.rows == 0 ? 0 : layout.clientHeight + 2 * layout.border;
    return layout;
}

StripLayout stripLayout(int stripCount, int workAreaHeight, int dpi, int border)
{
    const int strips = std::clamp(stripCount, 0, kMaxStrips);
    const int stripHeight = stripSizeAt(dpi).height;
    // A column of R strips is R strip heights tall, less the two hidden rows
    // and with the border above and below.
    const std::int64_t frame = 2 * std::clamp(border, 0, kMaxBorder) - kHiddenStripPixels;
    const std::int64_t rowsThatFit = std::max<std::int64_t>(1, (workAreaHeight - frame) / stripHeight);
    const int columns = strips <= rowsThatFit ? 1 : ceilDiv(strips, static_cast<int>(rowsThatFit));
    return stripLayoutInColumns(strips, columns, dpi, border);
}

int stripsInColumn(const StripLayout& layout, int column)
{
    if (column < 0 || column >= layout.columns || layout.stripCount == 0)
        return 0;
    return column < longColumns(layout) ? layout.rows : layout.rows - 1;
}

StripCell stripCell(const StripLayout& layout, int index)
{
    const int rows = std::max(layout.rows, 1);
    const int inLongColumns = longColumns(layout) * rows;
    if (index < inLongColumns)
        return cellAt(layout, index / rows, index % rows);
    // Past the long columns every column holds rows - 1 strips, and there
    // are such columns only when rows is at least 2.
    const int shortRows = std::max(rows - 1, 1);
    const int rest = index - inLongColumns;
    return cellAt(layout, longColumns(layout) + rest / shortRows, rest % shortRows);
}

bool operator==(const StripLayout& a, const StripLayout& b)
{
    return a.stripCount == b.stripCount && a.columns == b.columns && a.strip.dpi == b.strip.dpi &&
           a.border == b.border;
}
