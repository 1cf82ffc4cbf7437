// AveragingPercentMonitor: folds every run of six samples into one mean,
// keeps the newest 200 means, and draws them as green bars from the right
// edge leftwards under a label with the newest raw sample.

#include "gauges/AveragingPercentMonitor.h"

#include "common/TextBuffer.h"

namespace {

constexpr double kPercentFactor = 100.0;
constexpr wchar_t kLabelFormat[] = L"%s: %02d%%";

} // namespace

int barLength(double mean, int height)
{
    return static_cast<int>(height * mean);
}

int labelPercent(double sample)
{
    return static_cast<int>(sample * kPercentFactor);
}

void appendLabel(TextBuffer& buffer, const std::wstring& keyName, double newestSample)
{
    buffer.appendFormatted(kLabelFormat, keyName.c_str(), labelPercent(newestSample));
}

AveragingPercentMonitor::AveragingPercentMonitor(const std::wstring& keyName)
    : keyName_(keyName)
{
}

int AveragingPercentMonitor::addSample(double sample)
{
    const int pendingCount = static_cast<int>(pending_.size());
    // The sample arriving now is not part of this mean; it opens the next run.
    if (pendingCount > averagingWindow_) {
        double sum = 0.0;
        for (double pendingSample : pending_)
            sum += pendingSample;
        history_.push_back(pendingCount > 0 ? sum / static_cast<double>(pendingCount) : 0.0);
        pending_.clear();
        while (history_.size() > kHistoryCap)
            history_.pop_front();
    }
    pending_.push_back(sample);
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
    if (!pending_.empty())
        drawLabel(dc, x, y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void AveragingPercentMonitor::drawBars(HDC dc, int x, int y) const
{
    const int n = static_cast<int>(history_.size());
    const int foot = y + height_;
    // The oldest mean gets no bar. Columns left of x are drawn anyway and
    // left to the device context to clip.
    for (int i = n - 1; i >= 1; --i) {
        const int column = x + width_ - 1 - (n - 1 - i);
        const int length = barLength(history_[static_cast<std::size_t>(i)], height_);
        // LineTo stops one pixel short, so a bar of length h covers h + 1
        // rows, the lowest being the first row below the gauge.
        MoveToEx(dc, column, foot, nullptr);
        LineTo(dc, column, foot - length - 1);
    }
}

void AveragingPercentMonitor::drawLabel(HDC dc, int x, int y)
{
    TextBuffer label(kLabelCapacity);
    appendLabel(label, keyName_, pending_.back());
    RECT rect = getRect();
    OffsetRect(&rect, x, y);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, label.text(), -1, &rect, DT_SINGLELINE);
}
