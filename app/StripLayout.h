#pragma once
// How the strips stand in the main window: one column while they fit the
// height of the work area, balanced columns side by side when they do not.
// No Win32 here: the window's size and each strip's cell are worked out from
// the strip count and the work area's height alone.

// A strip is a 60 x 40 gauge, but the window's one-pixel border leaves only
// 58 of its columns visible. Columns stand 59 pixels apart: 58 for the
// strips and one for the line between two columns.
constexpr int kStripWidth = 60;
constexpr int kStripHeight = 40;
constexpr int kVisibleStripWidth = kStripWidth - 2;
constexpr int kColumnPitch = kVisibleStripWidth + 1;

struct StripLayout {
    int columns;
    int rows;
    int width;   // outer size of the main window, border included
    int height;
};

// One column of 60 x 40n while n strips fit the work area's height;
// otherwise ceil(n / R) columns of ceil(n / columns) rows, R being the rows
// that fit, so that the columns are balanced.
StripLayout stripLayout(int stripCount, int workAreaHeight);

// The same strips in a given number of columns (at least one).
StripLayout stripLayoutInColumns(int stripCount, int columns);

// The columns a window of this outer width holds: the paint pass reads the
// layout back from the window it paints.
int columnsOfWindowWidth(int windowWidth);

// Client coordinates of strip k's top-left corner: strips run top to bottom,
// then on to the next column.
struct StripCell {
    int x;
    int y;
};
StripCell stripCell(const StripLayout& layout, int index);
