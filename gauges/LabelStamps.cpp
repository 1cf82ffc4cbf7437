// LabelStamps: text rendered once into a small 32-bit surface over each of
// the two colours a label lies on, and kept as the pixels it changed. GDI
// places each piece of a label where the whole label would put it, since
// text advances are whole pixels; the stamps are laid in gauges/LabelStamp.

#include "gauges/LabelStamps.h"

#include <algorithm>
#include <cstdint>

#include "common/PixelFormat.h"
#include "gauges/GaugeLabel.h"

namespace {

// A memory DC holding a top-down 32-bit DIB section, and the font.
class Scratch {
public:
    Scratch(HFONT font, int width, int height) : width_(width), height_(height)
    {
        const BITMAPINFO info = topDownPixelsInfo(width, height);
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<std::uint32_t*>(bits);
        previousBitmap_ = SelectObject(dc_, bitmap_);
        previousFont_ = SelectObject(dc_, font);
        SetBkMode(dc_, TRANSPARENT);
    }
    ~Scratch()
    {
        SelectObject(dc_, previousFont_);
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    bool ready() const { return pixels_ != nullptr; }
    std::uint32_t pixel(int x, int y) const { return pixels_[y * width_ + x]; }

    // The text drawn over one colour, its origin at (x, 0).
    void drawOver(std::uint32_t colour, int x, const std::wstring& text)
    {
        GdiFlush();
        std::fill(pixels_, pixels_ + width_ * height_, colour);
        ExtTextOutW(dc_, x, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        GdiFlush();
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
};

int fontHeight(HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return metrics.tmHeight;
}

SIZE textSize(HFONT font, const std::wstring& text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return size;
}

} // namespace

LabelStamps::LabelStamps(const StripColours& colours) : colours_(colours) {}

void LabelStamps::useFont(HFONT font, int dpi)
{
    if (font == font_ && dpi == dpi_)
        return;
    font_ = font;
    dpi_ = dpi;
    textHeight_ = fontHeight(font);
    made_.fill(false);
}

LabelStamp LabelStamps::render(const std::wstring& text) const
{
    LabelStamp stamp;
    if (text.empty())
        return stamp;
    const SIZE size = textSize(font_, text);
    stamp.advance = size.cx;
    // Room for glyphs that reach past their advance on either side.
    const int margin = size.cy;
    const int width = size.cx + 2 * margin;
    Scratch overBackground(font_, width, size.cy);
    Scratch overBar(font_, width, size.cy);
    if (!overBackground.ready() || !overBar.ready())
        return stamp;
    overBackground.drawOver(colours_.background, margin, text);
    overBar.drawOver(colours_.bar, margin, text);
    stamp.left = width;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t background = overBackground.pixel(x, y);
            const std::uint32_t bar = overBar.pixel(x, y);
            if (background == colours_.background && bar == colours_.bar)
                continue;
            stamp.pixels.push_back(
                {static_cast<std::int16_t>(x - margin), static_cast<std::int16_t>(y), background, bar});
            stamp.left = std::min(stamp.left, x - margin);
            stamp.right = std::max(stamp.right, x - margin + 1);
            stamp.bottom = y + 1;
        }
    }
    return stamp;
}

const LabelStamp* LabelStamps::number(int percent)
{
    if (percent < 0 || percent >= kPercents)
        return nullptr;
    const std::size_t index = static_cast<std::size_t>(percent);
    if (!made_[index]) {
        numbers_[index] = render(percentText(percent));
        made_[index] = true;
    }
    return &numbers_[index];
}
