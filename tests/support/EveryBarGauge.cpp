// EveryBarGauge: a reference drawing of the averaging gauge that draws every
// bar with its own MoveToEx and LineTo, whether or not its column lies on
// the surface, and the label with DrawTextW.

#include "tests/support/EveryBarGauge.h"

#include "gauges/AveragingPercentMonitor.h"
#include "gauges/GaugeLabel.h"

EveryBarGauge::EveryBarGauge(const std::wstring& keyName) : keyName_(keyName) {}

int EveryBarGauge::addSample(double sample)
{
    averager_.addSample(sample);
    return 1;
}

RECT EveryBarGauge::getRect()
{
    return RECT{0, 0, kStripWidth, kStripHeight};
}

void EveryBarGauge::draw(HDC dc, int x, int y)
{
    constexpr int kWidth = kStripWidth;
    constexpr int kHeight = kStripHeight;
    HPEN pen = CreatePen(PS_SOLID, 1, AveragingPercentMonitor::kBarColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    const std::deque<double>& means = averager_.history();
    const int n = static_cast<int>(means.size());
    for (int i = n - 1; i >= 1; --i) {
        const int column = x + kWidth - 1 - (n - 1 - i);
        const int length = barLength(means[static_cast<std::size_t>(i)], kHeight);
        MoveToEx(dc, column, y + kHeight, nullptr);
        LineTo(dc, column, y + kHeight - length - 1);
    }
    if (!averager_.pending().empty()) {
        RECT rect = {x, y, x + kWidth, y + kHeight};
        SetBkMode(dc, TRANSPARENT);
        const LabelForms forms = labelForms(keyName_, labelPercent(averager_.pending().back()));
        const std::size_t form = fittingForm(stripSizeAt(kBaseDpi).visibleWidth, [&](std::size_t measured) {
            RECT extent = {};
            DrawTextW(dc, forms[measured].c_str(), -1, &extent, DT_SINGLELINE | DT_CALCRECT);
            return static_cast<int>(extent.right);
        });
        DrawTextW(dc, forms[form].c_str(), -1, &rect, DT_SINGLELINE);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}
