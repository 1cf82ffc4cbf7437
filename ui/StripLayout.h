#pragma once
// How the strips stand in the main window: the window's size and each
// strip's cell, from the strip count, the work area's height, the window's
// DPI and its border.

#include "gauges/StripSize.h"

// The window's border at its DPI, in pixels each side: one at 96 DPI, and
// what Windows says it is elsewhere.
constexpr int kBaseBorder = 1;
constexpr int kMaxBorder = 64;

// What a window is laid out at: its DPI and its border there. A DPI alone
// comes with the one-pixel border.
struct WindowScale {
    WindowScale(int dpiAsked = kBaseDpi, int borderAsked = kBaseBorder) : dpi(dpiAsked), border(borderAsked) {}
    int dpi;
    int border;
};

struct StripLayout {
    int stripCount;  // 0 to kMaxStrips
    int columns;     // at least one, and never an empty one
    int rows;        // strips in the tallest column
    int width;       // outer size of the main window, border included
    int height;
    StripSize strip = stripSizeAt(kBaseDpi);
    int border = kBaseBorder;
    int pitch = strip.visibleWidth + 1;  // from one column to the next: a column and the line after it
    int clientWidth = strip.visibleWidth;
    int clientHeight = 0;
};

// Layouts are equal when they are made from the same strips, columns, DPI
// and border: every other field follows from those.
bool operator==(const StripLayout& a, const StripLayout& b);

// The client area holds each column's visible width, with a one-pixel line
// between two columns, and the strips' rows less the last strip's bottom
// two: at 96 DPI a window of 60 x 40n with its one-pixel border, as ever.
// The outer size adds the border each side.

// One column while the strips fit the work area's height; otherwise the
// fewest columns whose rows fit, ceil(n / R) for R rows that fit, with the
// strips shared out so that no two columns differ by more than one.
// Strips are scaled for usableDpi(dpi); border is clamped to 0..kMaxBorder.
StripLayout stripLayout(int stripCount, int workAreaHeight, int dpi = kBaseDpi, int border = kBaseBorder);

// The same strips in a given number of columns (at least one, and no more
// than there are strips).
StripLayout stripLayoutInColumns(int stripCount, int columns, int dpi = kBaseDpi, int border = kBaseBorder);

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
