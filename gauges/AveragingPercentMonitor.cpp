// AveragingPercentMonitor: the gauge the paint pass feeds and draws. Drawn
// into any DC, its bars are laid as pixels by the paint pass's own code, in
// a DIB of what lies under the DC's clip box, and its label with GDI.

#include "gauges/AveragingPercentMonitor.h"

#include "gauges/GaugeLabel.h"

AveragingPercentMonitor::AveragingPercentMonitor(const std::wstring& keyName) : keyName_(keyName) {}

int AveragingPercentMonitor::addSample(double sample)
{
    averager_.addSample(sample);
    return 1;
}

RECT AveragingPercentMonitor::labelRect(int x, int y, const StripSize& strip)
{
    // Through the virtual getRect, so that a derived gauge's rectangle
    // holds, grown to the strip's scale.
    const RECT own = getRect();
    const auto scaled = [&strip](LONG length) { return static_cast<LONG>(scaledLength(length, strip.dpi)); };
    return RECT{x + scaled(own.left), y + scaled(own.top), x + scaled(own.right), y + scaled(own.bottom)};
}

void AveragingPercentMonitor::draw(HDC dc, int x, int y, const StripSize& strip)
{
    RECT box = {};
    if (GetClipBox(dc, &box) == ERROR || IsRectEmpty(&box))
        return;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    DibSurface picture;
    picture.fit(width, height);
    if (picture.pixels().height == 0)
        return;
    BitBlt(picture.dc(), 0, 0, width, height, dc, box.left, box.top, SRCCOPY);
    GdiFlush();
    paintBars(picture.pixels(), surfaceArea(picture.pixels()), means(),
              barPlacement(x - box.left, y - box.top, strip), kStripColours.bar);
    if (hasLabel()) {
        HGDIOBJ previous = SelectObject(picture.dc(), GetCurrentObject(dc, OBJ_FONT));
        SetTextColor(picture.dc(), GetTextColor(dc));
        RECT rect = labelRect(x, y, strip);
        OffsetRect(&rect, -box.left, -box.top);
        drawLabelText(picture.dc(), rect, keyName_, percentShown(), strip.visibleWidth);
        SelectObject(picture.dc(), previous);
    }
    BitBlt(dc, box.left, box.top, width, height, picture.dc(), 0, 0, SRCCOPY);
}

void drawLabelText(HDC dc, const RECT& rect, const std::wstring& keyName, int percent, int visibleWidth)
{
    const LabelForms forms = labelForms(keyName, percent);
    const std::wstring& text = forms[fittingForm(visibleWidth, [&](std::size_t form) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, forms[form].c_str(), static_cast<int>(forms[form].size()), &size);
        return static_cast<int>(size.cx);
    })];
    SetBkMode(dc, TRANSPARENT);
    // Clipped to the rectangle as DrawTextW with DT_SINGLELINE would, for
    // the same pixels at less cost.
    ExtTextOutW(dc, rect.left, rect.top, ETO_CLIPPED, &rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}
