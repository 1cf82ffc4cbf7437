#pragma once
// Label pieces rendered in the label font: the key-name parts a gauge keeps
// for itself, and the numbers every gauge shares, made once per font.

#include <windows.h>

#include <array>
#include <string>

#include "gauges/LabelStamp.h"

class LabelStamps {
public:
    explicit LabelStamps(const StripColours& colours);

    // Pieces from now on are for labels in `font`, the label font at `dpi`;
    // a new font drops the numbers made in the last.
    void useFont(HFONT font, int dpi);
    int dpi() const { return dpi_; }
    // The font's height: a label takes no more rows than this.
    int textHeight() const { return textHeight_; }
    const StripColours& colours() const { return colours_; }

    // `text` rendered as DrawTextW and ExtTextOutW render it in the font,
    // over the background and over a bar.
    LabelStamp render(const std::wstring& text) const;

    // "00%" to "100%", rendered at first use; null for any other percent,
    // which the caller draws itself.
    const LabelStamp* number(int percent);

private:
    static constexpr int kPercents = 101;

    StripColours colours_;
    HFONT font_ = nullptr;
    int dpi_ = 0;
    int textHeight_ = 0;
    std::array<LabelStamp, kPercents> numbers_;
    std::array<bool, kPercents> made_ = {};
};
