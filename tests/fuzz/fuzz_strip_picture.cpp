// A column of one to three strips of any means, some crossed out, label
// pieces of any pixels,
// at any of four scales, on a small surface holding anything, drawn within
// any clip. Drawing writes nothing outside the clip and the surface; a
// label that is refused leaves the surface as it was; and changing one
// strip's label by drawing only what the change touches gives exactly the
// column drawn whole with the new label.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "gauges/StripPicture.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

struct Input : FuzzInput {
    int below(int bound) { return static_cast<int>(take<std::uint8_t>() % bound); }
};

constexpr int kWidth = 70;
constexpr int kHeight = 100;
constexpr int kDpis[] = {96, 120, 144, 192};
constexpr std::uint32_t kJunk = 0x123456;

LabelPiece pieceFrom(Input& in)
{
    LabelPiece piece;
    piece.advance = in.below(24);
    piece.left = 1000;
    const int count = in.below(12);
    for (int i = 0; i < count; ++i) {
        const std::int16_t x = static_cast<std::int16_t>(in.below(28) - 4);
        const std::int16_t y = static_cast<std::int16_t>(in.below(14));
        piece.pixels.push_back({x, y, in.take<std::uint32_t>(), in.take<std::uint32_t>()});
        piece.left = std::min(piece.left, int{x});
        piece.right = std::max(piece.right, x + 1);
        piece.bottom = std::max(piece.bottom, y + 1);
    }
    if (piece.pixels.empty())
        piece.left = 0;
    return piece;
}

struct Column {
    std::vector<std::deque<double>> means;
    std::vector<StripDrawing> strips;
    std::vector<LaidLabel> labels;
};

void draw(std::vector<std::uint32_t>& pixels, const PixelRect& clip, Column& column, Reach reach)
{
    const PixelRows surface = {pixels.data(), kWidth, kWidth, kHeight};
    drawStrips(surface, clip, column.strips, 0, column.strips.size(), reach, kStripColours,
               [&](std::size_t k, const PixelRect& within) { layLabel(surface, within, column.labels[k], kStripColours); });
}

bool sameOutside(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, const PixelRect& area)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((x < area.left || x >= area.right || y < area.top || y >= area.bottom) && a[y * kWidth + x] != b[y * kWidth + x])
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in{{data, size}};
    const int dpi = kDpis[in.below(4)];
    const int stripHeight = 40 * dpi / 96;
    const std::size_t count = 1 + static_cast<std::size_t>(in.below(3));
    LabelPiece pieces[4];
    for (LabelPiece& piece : pieces)
        piece = pieceFrom(in);
    Column column;
    column.means.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const int means = in.below(80);
        for (int i = 0; i < means; ++i)
            column.means[k].push_back((in.take<std::uint8_t>() - 64) / 128.0);
        const std::int64_t top = static_cast<std::int64_t>(k) * stripHeight;
        const BarPlacement bars = {in.below(16) - 8, top, 60, 40, dpi};
        const bool crossed = in.below(4) == 0;
        column.strips.push_back({&column.means[k], bars, {0, top, 58 * dpi / 96, top + stripHeight}, {0, 0}, crossed});
        column.labels.push_back({&pieces[in.below(4)], &pieces[in.below(4)], in.below(10), top + in.below(4)});
    }
    const PixelRect clip = {in.below(90) - 10, in.below(120) - 10, in.below(90) - 10, in.below(120) - 10};

    // Drawn within the clip over junk: nothing outside it changes.
    std::vector<std::uint32_t> before(kWidth * kHeight, kJunk);
    std::vector<std::uint32_t> after = before;
    draw(after, clip, column, Reach::Measure);
    if (!sameOutside(before, after, intersection(clip, {0, 0, kWidth, kHeight})))
        std::abort();

    // A label laid over anything but background and bars is refused whole.
    std::vector<std::uint32_t> refused = after;
    const PixelRows surface = {refused.data(), kWidth, kWidth, kHeight};
    if (!layLabel(surface, clip, column.labels[0], kStripColours) && refused != after)
        std::abort();

    // The whole column with label a, relabelled to b, against the column drawn whole with b.
    const PixelRect whole = {0, 0, kWidth, kHeight};
    const std::size_t k = static_cast<std::size_t>(in.below(static_cast<int>(count)));
    std::vector<std::uint32_t> relabelled(kWidth * kHeight, kJunk);
    draw(relabelled, whole, column, Reach::Measure);
    const LaidLabel was = column.labels[k];
    column.labels[k] = {&pieces[in.below(4)], &pieces[in.below(4)], in.below(10), was.y};
    const PixelRect area = intersection(relabelArea(was, column.labels[k]), column.strips[k].cell);
    if (!isEmpty(area))
        draw(relabelled, area, column, Reach::Keep);
    std::vector<std::uint32_t> anew(kWidth * kHeight, kJunk);
    draw(anew, whole, column, Reach::Measure);
    if (relabelled != anew)
        std::abort();
    return 0;
}
