#pragma once
// A piece of label text as the platform rendered it once, laid over a
// strip's pixels as often as it shows, with nothing of the platform. Under
// a label lie only the strip's background and its bars, so a piece rendered
// once over each gives, pixel for pixel, what drawing the text there again
// would give, whatever the font's antialiasing does with those colours.

#include <cstdint>
#include <vector>

#include "gauges/BarPixels.h"

struct LabelStamp {
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

// The two colours a strip shows under its label, as 32-bit pixels.
struct StripColours {
    std::uint32_t background;
    std::uint32_t bar;
};

// A label as laid: its two pieces, where the first starts, and the
// rectangle it is clipped to. The pieces stay where they were made (a
// gauge's key-name parts, the shared numbers) for as long as the font does.
struct LaidLabel {
    const LabelStamp* first = nullptr;  // null: no label laid from stamps
    const LabelStamp* second = nullptr;
    std::int64_t x = 0;
    std::int64_t y = 0;
    PixelRect clip = {0, 0, 0, 0};
};

// What lies under a label in its strip, column by column from `left`, in
// the rows from `top`: the bars' feet of the strip above in the first
// `footRows` rows, the strip's own bar from row `barFrom` down, background
// between.
struct UnderLabel {
    struct Column {
        std::uint16_t footRows;
        std::uint16_t barFrom;
    };
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::vector<Column> columns;
};

// Reads what lies in `rows` of the surface, once the bars are laid and
// before the label is.
void readUnderLabel(const PixelRows& surface, const PixelRect& rows, const StripColours& colours, UnderLabel& under);

// Puts back what lay under each pixel of a laid label.
void eraseLabel(const PixelRows& surface, const LaidLabel& label, const UnderLabel& under, const StripColours& colours);

// Lays `fresh` in place of `laid`, over what lies under them: where the
// first piece stays (the key name's part, in the same form) only the
// number is taken off and laid anew. False where `fresh` cannot be laid,
// with the pixels then neither label's.
bool relayLabel(const PixelRows& surface, const LaidLabel& laid, const LaidLabel& fresh, const UnderLabel& under,
                const StripColours& colours);

// Lays `first` with its origin at (x, y) and `second` from where `first`
// ends, within `clip` and the surface. Writes nothing and returns false
// where a pixel under them is neither background nor bar, or the two take a
// column both: the caller then draws the text itself.
bool stampLabel(const PixelRows& surface, const PixelRect& clip, std::int64_t x, std::int64_t y,
                const LabelStamp& first, const LabelStamp& second, const StripColours& colours);
