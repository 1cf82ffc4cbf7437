// AveragingPercentMonitor: the gauge the paint pass feeds and draws. Its
// SampleAverager folds every run of six samples into one mean and keeps the
// newest 200; this class draws them as green bars from the right edge
// leftwards under a label with the newest raw sample.

#include "gauges/AveragingPercentMonitor.h"

#include "gauges/GaugeLabel.h"

namespace {

// The bars a device context can show: those on the columns of its clip box.
// A context whose clip box cannot be read gets every bar, to clip itself.
BarPositions barsShownBy(HDC dc, std::size_t meanCount, std::int64_t newestColumn)
{
    RECT box = {};
    if (GetClipBox(dc, &box) == ERROR)
        return allBars(meanCount);
    return barsInColumns(meanCount, newestColumn, box.left, box.right);
}

// A bar of `length` on `column` whose lowest pixel is on row `foot`.
void drawBar(HDC dc, int column, int foot, int length)
{
    // LineTo stops one pixel short, so a bar of length h covers h + 1 rows,
    // the lowest being the first row below the gauge.
    MoveToEx(dc, column, foot, nullptr);
    LineTo(dc, column, foot - length - 1);
}

int textWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void drawLabelText(HDC dc, const RECT& rect, const std::wstring& text)
{
    RECT clip = rect;
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &clip, DT_SINGLELINE);
}

} // namespace

std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent)
{
    return fittingLabel(labelForms(keyName, percent), AveragingPercentMonitor::kVisibleWidth,
                        [dc](const std::wstring& text) { return textWidth(dc, text); });
}

void drawGaugeLabel(HDC dc, const RECT& rect, const std::wstring& keyName, double newestSample)
{
    drawLabelText(dc, rect, fittingLabelFor(dc, keyName, labelPercent(newestSample)));
}

AveragingPercentMonitor::AveragingPercentMonitor(const std::wstring& keyName)
    : keyName_(keyName)
{
}

int AveragingPercentMonitor::addSample(double sample)
{
    averager_.addSample(sample);
    return 1;
}

RECT AveragingPercentMonitor::getRect()
{
    return RECT{0, 0, width_, height_};
}

void AveragingPercentMonitor::draw(HDC dc, int x, int y)
{
    HPEN pen = CreatePen(PS_SOLID, kBarPenWidth, kBarColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    drawBars(dc, x, y);
    if (!averager_.pending().empty())
        drawLabel(dc, x, y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void AveragingPercentMonitor::drawBars(HDC dc, int x, int y) const
{
    const std::deque<double>& means = averager_.history();
    const std::int64_t newestColumn = static_cast<std::int64_t>(x) + width_ - 1;
    // With a full history about 140 of the 199 bars stand left of the
    // surface; only the ones it shows are drawn, newest first.
    const BarPositions shown = barsShownBy(dc, means.size(), newestColumn);
    for (std::size_t i = shown.end; i > shown.first; --i) {
        const std::size_t position = i - 1;
        const int column = static_cast<int>(barColumn(position, means.size(), newestColumn));
        drawBar(dc, column, y + height_, barLength(means[position], height_));
    }
}

void AveragingPercentMonitor::drawLabel(HDC dc, int x, int y)
{
    const int percent = labelPercent(averager_.pending().back());
    if (!label_.chosen || label_.percent != percent)
        label_ = ChosenLabel{true, percent, fittingLabelFor(dc, keyName_, percent)};
    RECT rect = getRect();
    OffsetRect(&rect, x, y);
    drawLabelText(dc, rect, label_.text);
}
