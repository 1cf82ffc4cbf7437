#pragma once
// How the strips stand in the main window: one column while they fit the
// height of the work area, balanced columns side by side when they do not.
// No Win32 here: the window's size and each strip's cell are worked out from
// the strip count, the work area's height and the window's DPI alone.

#include "common/DisplayScale.h"

// At 96 DPI a strip is a 60 x 40 gauge, but the window's one-pixel border
// leaves only 58 of its columns visible. Columns stand 59 pixels apart: 58
// for the strips and one for the line between two columns. At another DPI
// the strip grows with it and the border stays one pixel.
constexpr int kStripWidth = 60;
constexpr int kStripHeight = 40;
constexpr int kVisibleStripWidth = kStripWidth - 2;
constexpr int kColumnPitch = kVisibleStripWidth + 1;

// More strips than any one processor group and memory can ask for; a count
// above it is laid out as this many, so no size overflows.
constexpr int kMaxStrips = 4096;

struct StripLayout {
    int stripCount;  // 0 to kMaxStrips
    int columns;     // at least one, and never an empty one
    int rows;        // strips in the tallest column
    int width;       // outer size of the main window, border included
    int height;
    int dpi = kBaseDpi;  // what the strips below are scaled for
    int stripHeight = kStripHeight;
    int visibleWidth = kVisibleStripWidth;  // of a strip, within the border
    int pitch = kColumnPitch;               // from one column to the next
};

// One column of 60 x 40n while n strips fit the work area's height;
// otherwise the fewest columns whose rows fit, ceil(n / R) for R rows that
// fit, with the strips shared out so that no two columns differ by more
// than one.
// Strips are scaled for usableDpi(dpi).
StripLayout stripLayout(int stripCount, int workAreaHeight, int dpi = kBaseDpi);

// The same strips in a given number of columns (at least one, and no more
// than there are strips).
StripLayout stripLayoutInColumns(int stripCount, int columns, int dpi = kBaseDpi);

// How many strips stand in a column: the first columns take one more when
// the strips do not share out evenly.
int stripsInColumn(const StripLayout& layout, int column);

// Client coordinates of strip k's top-left corner: strips run top to bottom,
// then on to the next column.
struct StripCell {
    int x;
    int y;
    int column;
};
StripCell stripCell(const StripLayout& layout, int index);
