// LabelPieces: text rendered once into a small DIB over each of the two
// colours a label lies on, kept as the pixels it changed. Text advances are
// whole pixels, so a piece starts where the whole label would put it.

#include "gauges/LabelPieces.h"

#include <algorithm>
#include <cstdint>

#include "gauges/GaugeLabel.h"

bool LabelPieces::useFont(HFONT font, int dpi)
{
    if (font == font_ && dpi == dpi_)
        return false;
    font_ = font;
    dpi_ = dpi;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    textHeight_ = metrics.tmHeight;
    drop();
    return true;
}

void LabelPieces::drop()
{
    pieces_.clear();
    numbers_.fill(nullptr);
}

const LabelPiece* LabelPieces::piece(const std::wstring& text)
{
    const auto found = pieces_.find(text);
    if (found != pieces_.end())
        return &found->second;
    LabelPiece made;
    if (!render(text, made))
        return nullptr;
    return &pieces_.emplace(text, std::move(made)).first->second;
}

const LabelPiece* LabelPieces::number(int percent)
{
    if (percent < 0 || percent >= static_cast<int>(numbers_.size()))
        return nullptr;
    const LabelPiece*& kept = numbers_[static_cast<std::size_t>(percent)];
    if (kept == nullptr)
        kept = piece(percentText(percent));
    return kept;
}

bool LabelPieces::render(const std::wstring& text, LabelPiece& piece)
{
    if (text.empty())
        return true;
    // Measured in the scratch DC itself, which the first fit makes.
    DibSurface scratch(createDib_);
    scratch.fit(1, 1);
    HDC dc = scratch.dc();
    if (dc == nullptr)
        return false;
    HGDIOBJ previous = SelectObject(dc, font_);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    // Room for glyphs that reach past their advance on either side.
    const int margin = size.cy;
    const int width = size.cx + 2 * margin;
    scratch.fit(width, size.cy);
    const PixelRows pixels = scratch.pixels();
    std::vector<std::uint32_t> over[2];
    const std::uint32_t colours[2] = {kStripColours.background, kStripColours.bar};
    for (int c = 0; c < 2 && pixels.height > 0; ++c) {
        fillArea(pixels, surfaceArea(pixels), colours[c]);
        SetBkMode(dc, TRANSPARENT);
        ExtTextOutW(dc, margin, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        GdiFlush();
        over[c].assign(pixels.rows, pixels.rows + std::size_t(width) * std::size_t(size.cy));
    }
    SelectObject(dc, previous);
    if (pixels.height == 0)
        return false;
    piece.advance = size.cx;
    piece.left = width;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
            if (over[0][at] == colours[0] && over[1][at] == colours[1])
                continue;
            piece.pixels.push_back({static_cast<std::int16_t>(x - margin), static_cast<std::int16_t>(y), over[0][at],
                                    over[1][at]});
            piece.left = std::min(piece.left, x - margin);
            piece.right = std::max(piece.right, x - margin + 1);
            piece.bottom = y + 1;
        }
    }
    return true;
}
