// The strip layout: how many columns and rows, the window's size, and where
// each strip goes.

#include "ui/StripLayout.h"

#include <algorithm>

namespace {

int ceilDiv(int numerator, int denominator)
{
    return numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
}

// Strips in each of the first `longColumns` columns; the rest hold one fewer.
struct ColumnShares {
    int longColumns;
    int longHeight;
};

ColumnShares sharesOf(const StripLayout& layout)
{
    const int remainder = layout.stripCount % layout.columns;
    return {remainder == 0 ? layout.columns : remainder, layout.rows};
}

StripCell cellAt(const StripLayout& layout, int column, int row)
{
    return {layout.pitch * column, layout.stripHeight * row, column};
}

int scaled(int length, int dpi)
{
    return static_cast<int>(scaledLength(length, dpi));
}

} // namespace

StripLayout stripLayoutInColumns(int stripCount, int columns, int dpi)
{
    const int strips = std::clamp(stripCount, 0, kMaxStrips);
    const int cols = std::clamp(columns, 1, std::max(strips, 1));
    const int rows = ceilDiv(strips, cols);
    const int at = usableDpi(dpi);
    const int stripHeight = scaled(kStripHeight, at);
    // The border stays one pixel a side at any scale.
    const int visibleWidth = scaled(kStripWidth, at) - (kStripWidth - kVisibleStripWidth);
    const int pitch = visibleWidth + 1;
    return {strips, cols, rows, pitch * cols + 1, stripHeight * rows, at, stripHeight, visibleWidth, pitch};
}

StripLayout stripLayout(int stripCount, int workAreaHeight, int dpi)
{
    const int strips = std::clamp(stripCount, 0, kMaxStrips);
    const int rowsThatFit = std::max(1, workAreaHeight / scaled(kStripHeight, usableDpi(dpi)));
    return stripLayoutInColumns(strips, strips <= rowsThatFit ? 1 : ceilDiv(strips, rowsThatFit), dpi);
}

int stripsInColumn(const StripLayout& layout, int column)
{
    if (column < 0 || column >= layout.columns || layout.stripCount == 0)
        return 0;
    const ColumnShares shares = sharesOf(layout);
    return column < shares.longColumns ? shares.longHeight : shares.longHeight - 1;
}

StripCell stripCell(const StripLayout& layout, int index)
{
    const ColumnShares shares = sharesOf(layout);
    const int rows = std::max(shares.longHeight, 1);
    const int inLongColumns = shares.longColumns * rows;
    if (index < inLongColumns)
        return cellAt(layout, index / rows, index % rows);
    // Past the long columns every column holds rows - 1 strips, and there
    // are such columns only when rows is at least 2.
    const int shortRows = std::max(rows - 1, 1);
    const int rest = index - inLongColumns;
    return cellAt(layout, shares.longColumns + rest / shortRows, rest % shortRows);
}
