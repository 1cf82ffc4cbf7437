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

StripCell cellAt(int column, int row)
{
    return {kColumnPitch * column, kStripHeight * row, column};
}

} // namespace

StripLayout stripLayoutInColumns(int stripCount, int columns)
{
    const int strips = std::clamp(stripCount, 0, kMaxStrips);
    const int cols = std::clamp(columns, 1, std::max(strips, 1));
    const int rows = ceilDiv(strips, cols);
    return {strips, cols, rows, kColumnPitch * cols + 1, kStripHeight * rows};
}

StripLayout stripLayout(int stripCount, int workAreaHeight)
{
    const int strips = std::clamp(stripCount, 0, kMaxStrips);
    const int rowsThatFit = std::max(1, workAreaHeight / kStripHeight);
    return stripLayoutInColumns(strips, strips <= rowsThatFit ? 1 : ceilDiv(strips, rowsThatFit));
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
        return cellAt(index / rows, index % rows);
    // Past the long columns every column holds rows - 1 strips, and there
    // are such columns only when rows is at least 2.
    const int shortRows = std::max(rows - 1, 1);
    const int rest = index - inLongColumns;
    return cellAt(shares.longColumns + rest / shortRows, rest % shortRows);
}
