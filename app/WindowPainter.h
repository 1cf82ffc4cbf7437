#pragma once
// The paint pass: draw what the gauges hold where the strip layout puts
// them, into a picture kept from one pass to the next. Sampling feeds the
// gauges before; the painter only reads them.

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "app/Sampling.h"
#include "common/DibSurface.h"
#include "gauges/LabelFont.h"
#include "gauges/LabelPieces.h"
#include "gauges/StripPicture.h"
#include "ui/StripLayout.h"

class AveragingPercentMonitor;

constexpr COLORREF kBackgroundColour = colourOf(kStripColours.background);

// One strip's gauge, and what it was last drawn from.
struct Strip {
    explicit Strip(AveragingPercentMonitor* averaging) : gauge(averaging) {}

    AveragingPercentMonitor* gauge;
    std::uint64_t drawnMeans = 0;
    bool crossed = false;
    bool labelled = false;
    int percent = 0;
    LaidLabel label;                  // its pieces, or none where GDI draws it
    PixelRect labelArea = {0, 0, 0, 0};  // what its label takes
    std::array<const LabelPiece*, 3> keyPieces = {};  // its key name's part in each form, once rendered
};

class WindowPainter {
public:
    // What a pass copies to its target: what changed (a tick's pass into
    // the window, which shows the rest already) or all of it.
    enum class Copy { Changed, Whole };

    explicit WindowPainter(const Sampling& sampling, CreateDib createDib = CreateDIBSection);

    // What the window is laid out for: a strip per listed key name.
    int stripCount() const { return static_cast<int>(strips_.size()); }

    // One pass into `target`, whose client area the layout describes.
    void paintWindow(HDC target, const StripLayout& layout, Copy copy = Copy::Whole);
    // The same pass without the copy: the picture alone.
    void paintGauges(const StripLayout& layout);
    // The next pass scrolls, with label pieces made anew: the displays, the
    // colours, the font smoothing or the theme changed.
    void redrawEverything();

private:
    bool stripsMoved() const;
    void place(const StripLayout& layout);
    void scroll(const StripLayout& layout);
    void relabel(const StripLayout& layout);
    void chooseLabel(std::size_t k, const StripLayout& layout);
    void drawLabel(std::size_t k, const PixelRect& clip, const StripLayout& layout);
    void drawErrorCross(const StripLayout& layout);

    const Sampling& sampling_;
    std::vector<Strip> strips_;
    std::vector<StripDrawing> drawings_;  // the strips the layout shows
    DibSurface picture_;
    LabelFont font_;
    LabelPieces pieces_;
    StripLayout drawnLayout_ = {};
    bool whole_ = true;
    PixelRect changed_ = {0, 0, 0, 0};  // what the last pass drew
};
