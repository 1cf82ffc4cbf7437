// Any bytes as /proc/stat, read twice, and as /proc/meminfo, the way the
// host counters read them. Each text is an exact-size heap copy without a
// terminator, so AddressSanitizer stops any read past its end. Every
// processor found and the committed memory must read as a percentage from
// 0 to 100; everything else must be a clear failure (no slot, no charge).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "hostcounters/ProcText.h"

using namespace hostcounters;

namespace {

class ExactCopy {
public:
    ExactCopy(const std::uint8_t* data, std::size_t size) : bytes_(new char[size]), size_(size)
    {
        for (std::size_t i = 0; i < size; ++i)
            bytes_[i] = static_cast<char>(data[i]);
    }
    std::string_view text() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

// Splits the input into three texts at points chosen by its first two bytes.
struct ThreeTexts {
    std::size_t firstStatSize;
    std::size_t secondStatSize;
    const std::uint8_t* rest;
    std::size_t restSize;
};

ThreeTexts splitInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return {0, 0, data, 0};
    const std::uint8_t* body = data + 2;
    const std::size_t bodySize = size - 2;
    const std::size_t first = bodySize * data[0] / 255;
    const std::size_t second = (bodySize - first) * data[1] / 255;
    return {first, second, body, bodySize};
}

bool isPercent(double value)
{
    return value >= 0.0 && value <= 100.0;
}

void checkPercent(int whole, double exact)
{
    if (whole < 0 || whole > 100 || !isPercent(exact))
        std::abort();
    // The whole percent is the exact one truncated, give or take the
    // rounding of doubles near a whole number.
    if (whole > exact + 1e-6 || whole + 1 < exact - 1e-6)
        std::abort();
}

void advanceAll(std::vector<ProcessorTrack>& tracks, const std::vector<CpuSlot>& cpus)
{
    if (tracks.size() < cpus.size())
        tracks.resize(cpus.size());
    for (std::size_t n = 0; n < tracks.size(); ++n) {
        const bool present = n < cpus.size() && cpus[n].present;
        advanceTrack(tracks[n], present ? &cpus[n].times : nullptr);
        if (present)
            checkPercent(busyPercent(tracks[n]), busyPercentExact(tracks[n]));
        else if (tracks[n].hasData)
            std::abort();
    }
}

void readStat(const ExactCopy& stat, std::vector<CpuSlot>& cpus, std::vector<ProcessorTrack>& tracks)
{
    const std::size_t found = parseProcStat(stat.text(), cpus);
    std::size_t present = 0;
    for (const CpuSlot& slot : cpus)
        present += slot.present ? 1 : 0;
    if (present != found || cpus.size() > kMaxProcessors)
        std::abort();
    for (const CpuSlot& slot : cpus) {
        if (slot.present && slot.times.busy > slot.times.total)
            std::abort();
    }
    advanceAll(tracks, cpus);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ThreeTexts parts = splitInput(data, size);
    const ExactCopy firstStat(parts.rest, parts.firstStatSize);
    const ExactCopy secondStat(parts.rest + parts.firstStatSize, parts.secondStatSize);
    const std::size_t statBytes = parts.firstStatSize + parts.secondStatSize;
    const ExactCopy meminfo(parts.rest + statBytes, parts.restSize - statBytes);

    std::vector<CpuSlot> cpus;
    std::vector<ProcessorTrack> tracks;
    readStat(firstStat, cpus, tracks);
    readStat(secondStat, cpus, tracks);

    const std::optional<CommitCharge> charge = parseMeminfo(meminfo.text());
    if (charge) {
        if (charge->limitKb == 0)
            std::abort();
        checkPercent(committedPercent(*charge), committedPercentExact(*charge));
    }
    return 0;
}
