// LabelFont: the label font for each DPI a window meets. The stock GUI font
// is already sized for the system DPI; for a monitor at another one it is
// made anew with its height scaled, once per DPI rather than once per paint.

#include "gauges/LabelFont.h"

#include "common/WindowDpi.h"

LabelFont::~LabelFont()
{
    if (made_ != nullptr)
        DeleteObject(made_);
}

HFONT LabelFont::fontFor(int dpi)
{
    HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    const int system = systemDpi();
    if (dpi == system)
        return static_cast<HFONT>(stock);
    if (made_ != nullptr && madeFor_ == dpi)
        return made_;
    LOGFONTW font = {};
    GetObjectW(stock, sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, system);
    HFONT replaced = made_;
    made_ = CreateFontIndirectW(&font);
    madeFor_ = dpi;
    if (replaced != nullptr)
        DeleteObject(replaced);
    // Without a font of that size the labels keep the stock one.
    return made_ != nullptr ? made_ : static_cast<HFONT>(stock);
}
