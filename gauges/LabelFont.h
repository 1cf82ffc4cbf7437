#pragma once
// The font of the gauges' labels at a window's DPI.

#include <windows.h>

// A made font is kept while the DPI stays, and deleted when one for another
// DPI is made and with this object: whoever selects it puts the old font
// back before asking again.
class LabelFont {
public:
    LabelFont() = default;
    ~LabelFont();
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    HFONT fontFor(int dpi);

private:
    HFONT made_ = nullptr;
    int madeFor_ = 0;
};
