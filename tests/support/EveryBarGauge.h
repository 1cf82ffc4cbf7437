#pragma once
// The averaging gauge as it drew before it skipped the bars a surface does
// not show: one line for every mean but the oldest, up to 199, left to the
// device context to clip. The drawing tests compare the real gauge with it
// pixel for pixel, and the microbenchmark times both.

#include <string>

#include "gauges/Monitor.h"
#include "gauges/SampleAverager.h"

class EveryBarGauge : public Monitor {
public:
    explicit EveryBarGauge(const std::wstring& keyName);

    int addSample(double sample) override;
    RECT getRect() override;
    // The 96-DPI picture: the tests grow it themselves to compare it with
    // the gauge at other scales.
    void draw(HDC dc, int x, int y) override;

private:
    SampleAverager averager_;
    std::wstring keyName_;
};
