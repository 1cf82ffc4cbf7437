#pragma once
// The strips' picture as 32-bit pixels: bars at a display scale, label
// pieces rendered once and laid over them, and a column of strips drawn
// within any clip. Drawing a part of a column anew gives exactly what drawing
// all of it gives, which is how a pass that changes only a label number
// restores what lay under it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "common/PixelRect.h"
#include "gauges/SampleAverager.h"

// plix's colours, as 32-bit pixels (red in the third byte): the strips'
// light-yellow background, the bars' green, and the red cross over what
// cannot be read.
struct StripColours {
    std::uint32_t background;
    std::uint32_t bar;
    std::uint32_t cross;
};
constexpr StripColours kStripColours = {0xFFFF80, 0x14C828, 0xFF0000};

// Where a gauge's bars go: its top-left corner on the surface, its size at
// 96 DPI and the DPI it is drawn at. The bar on 96-DPI column c covers the
// scaled columns c to c + 1, and its foot the scaled rows height to
// height + 1, so the picture is the 96-DPI one grown by dpi / 96.
struct BarPlacement {
    std::int64_t left;
    std::int64_t top;
    int width;
    int height;
    int dpi;
};

// Rows [top, bottom); empty when top >= bottom.
struct RowSpan {
    std::int64_t top;
    std::int64_t bottom;
};

void fillArea(const PixelRows& surface, const PixelRect& area, std::uint32_t pixel);

// Two lines corner to corner of area, within clip, as a one-pixel pen draws
// them with LineTo, which leaves out its end point: one from the top-left
// pixel towards the point just outside the bottom-right one, the other from
// the top-right pixel towards the point just below the bottom-left one.
void drawCross(const PixelRows& surface, const PixelRect& clip, const PixelRect& area, std::uint32_t colour);

// Sets the bars' pixels to `colour` within clip and the surface; returns
// the rows they took there.
RowSpan paintBars(const PixelRows& surface, const PixelRect& clip, const std::deque<double>& means,
                  const BarPlacement& placement, std::uint32_t colour);

// A piece of label text as the platform rendered it once, over the
// background and over a bar: laid where those two lie, it gives what
// drawing the text there would, whatever the antialiasing does.
struct LabelPiece {
    struct Pixel {
        std::int16_t x;  // from where the text starts; a glyph may reach left of it
        std::int16_t y;
        std::uint32_t overBackground;
        std::uint32_t overBar;
    };
    int advance = 0;  // where the text after it starts
    int left = 0;     // the columns its pixels take, [left, right)
    int right = 0;
    int bottom = 0;   // and the rows, [0, bottom)
    std::vector<Pixel> pixels;
};

// A label as two pieces, the key name's part and the number, the first
// starting at (x, y) and the second where the first ends; none where
// first is null.
struct LaidLabel {
    const LabelPiece* first = nullptr;
    const LabelPiece* second = nullptr;
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// The pixels the label's pieces take; empty without pieces.
PixelRect piecesArea(const LaidLabel& label);

// Glyphs of the two pieces share a column: laying one over the other's
// antialiased edge would not give what the platform draws.
bool piecesMeet(const LaidLabel& label);

// What a change of label from one to the other can touch: where the first
// piece stays, only the numbers'.
PixelRect relabelArea(const LaidLabel& from, const LaidLabel& to);

// Lays the label within clip and the surface. Writes nothing and returns
// false where its pieces meet or a pixel under them is neither background
// nor bar: the caller then draws the text itself.
bool layLabel(const PixelRows& surface, const PixelRect& clip, const LaidLabel& label, const StripColours& colours);

// One strip of a column.
struct StripDrawing {
    const std::deque<double>* means = nullptr;
    BarPlacement bars = {};
    PixelRect cell = {};        // its own rows of the column's visible columns; its label keeps to them
    RowSpan reach = {0, 0};     // the rows its bars took when the column was last drawn whole
    bool crossed = false;       // its counter cannot be read: a red cross over its cell instead
};

// Draws strips [first, end) of one column within clip over the background:
// each strip's bars, then its label through drawLabel(strip, the part of
// clip in its cell); a crossed strip, its cross alone. Reach::Measure (the column drawn whole) draws every
// strip's bars and keeps their reach; Reach::Keep draws only those whose
// reach meets the clip.
enum class Reach { Measure, Keep };
using DrawLabel = std::function<void(std::size_t strip, const PixelRect& clip)>;
void drawStrips(const PixelRows& surface, const PixelRect& clip, std::vector<StripDrawing>& strips, std::size_t first,
                std::size_t end, Reach reach, const StripColours& colours, const DrawLabel& drawLabel);
