#pragma once
// An averaging gauge that also keeps every sample it is fed, for tests of
// the code that feeds gauges.

#include <string>
#include <vector>

#include "gauges/AveragingPercentMonitor.h"

class RecordingGauge : public AveragingPercentMonitor {
public:
    using AveragingPercentMonitor::AveragingPercentMonitor;

    int addSample(double sample) override
    {
        samples.push_back(sample);
        return AveragingPercentMonitor::addSample(sample);
    }

    std::vector<double> samples;
};
