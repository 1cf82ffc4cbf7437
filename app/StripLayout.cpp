// The strip layout: how many columns and rows, the window's size, and where
// each strip goes.

#include "app/StripLayout.h"

#include <algorithm>

namespace {

int ceilDiv(int numerator, int denominator)
{
    return (numerator + denominator - 1) / denominator;
}

} // namespace

StripLayout stripLayoutInColumns(int stripCount, int columns)
{
    const int strips = std::max(stripCount, 0);
    const int cols = std::max(columns, 1);
    const int rows = ceilDiv(strips, cols);
    return {cols, rows, kColumnPitch * cols + 1, kStripHeight * rows};
}

StripLayout stripLayout(int stripCount, int workAreaHeight)
{
    const int rowsThatFit = std::max(1, workAreaHeight / kStripHeight);
    if (stripCount <= rowsThatFit)
        return stripLayoutInColumns(stripCount, 1);
    return stripLayoutInColumns(stripCount, ceilDiv(stripCount, rowsThatFit));
}

int columnsOfWindowWidth(int windowWidth)
{
    return std::max(1, (windowWidth - 1) / kColumnPitch);
}

StripCell stripCell(const StripLayout& layout, int index)
{
    const int rows = std::max(layout.rows, 1);
    return {kColumnPitch * (index / rows), kStripHeight * (index % rows)};
}
