// Parsing of /proc/stat and /proc/meminfo texts and the arithmetic of the
// processor and committed-memory percentages. Everything works on views
// into the caller's read buffer, so a collect parses without allocating.

#include "hostcounters/ProcText.h"

#include <algorithm>
#include <limits>

namespace hostcounters {

namespace {

// Columns of a cpu line: user nice system idle iowait irq softirq steal
// guest guest_nice. Guest time is already inside user and nice, so only the
// first eight make up the total.
constexpr std::size_t kIdleColumn = 3;
constexpr std::size_t kIowaitColumn = 4;
constexpr std::size_t kSummedColumns = 8;
constexpr std::size_t kRequiredColumns = 4;

constexpr std::string_view kCpuPrefix = "cpu";
constexpr std::string_view kCommittedKey = "Committed_AS:";
constexpr std::string_view kLimitKey = "CommitLimit:";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the decimal number at `pos`; false when there is none or it does
// not fit in 64 bits. `pos` ends after the last digit.
bool readNumber(std::string_view text, std::size_t& pos, std::uint64_t& value)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    if (pos >= text.size() || !isDigit(text[pos]))
        return false;
    value = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        std::uint64_t digit = static_cast<std::uint64_t>(text[pos] - '0');
        if (value > (kMax - digit) / 10)
            return false;
        value = value * 10 + digit;
        ++pos;
    }
    return true;
}

void skipBlanks(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
}

// Calls `use` with every newline-terminated line of `text`, newline
// excluded. A last line without its newline was cut off by the read and is
// left out.
template <typename Use>
void forEachCompleteLine(std::string_view text, Use use)
{
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        use(text.substr(start, end - start));
        start = end + 1;
    }
}

// "cpuN v1 v2 ..." into N and its times; false for the all-processor line,
// other lines and malformed ones.
bool parseCpuLine(std::string_view line, unsigned& index, CpuTimes& times)
{
    if (line.substr(0, kCpuPrefix.size()) != kCpuPrefix)
        return false;
    std::size_t pos = kCpuPrefix.size();
    std::uint64_t number = 0;
    if (!readNumber(line, pos, number) || number >= kMaxProcessors)
        return false;
    if (pos >= line.size() || !isBlank(line[pos]))
        return false;
    index = static_cast<unsigned>(number);

    std::uint64_t total = 0;
    std::uint64_t idle = 0;
    std::size_t columns = 0;
    for (;;) {
        skipBlanks(line, pos);
        if (pos >= line.size())
            break;
        std::uint64_t value = 0;
        if (!readNumber(line, pos, value))
            return false;
        if (pos < line.size() && !isBlank(line[pos]))
            return false;
        if (columns < kSummedColumns) {
            // A sum past 64 bits would wrap and let busy exceed the total.
            if (value > std::numeric_limits<std::uint64_t>::max() - total)
                return false;
            total += value;
            if (columns == kIdleColumn || columns == kIowaitColumn)
                idle += value;
        }
        ++columns;
    }
    if (columns < kRequiredColumns)
        return false;
    times.total = total;
    times.busy = total - idle;
    return true;
}

// The kB number after `key` when `line` starts with it.
bool readKeyedNumber(std::string_view line, std::string_view key, std::uint64_t& value)
{
    if (line.substr(0, key.size()) != key)
        return false;
    std::size_t pos = key.size();
    skipBlanks(line, pos);
    return readNumber(line, pos, value);
}

// part * 100 / whole, truncated, for part <= whole, without forming
// part * 100: that passes 64 bits once part is above 2^64 / 100, and the
// wrapped product read 99.99% busy as 2%. Long multiplication by the bits of
// 100, keeping the quotient and the remainder below whole at every step.
int wholePercent(std::uint64_t part, std::uint64_t whole)
{
    std::uint64_t quotient = 0;
    std::uint64_t remainder = 0;
    // Each step takes (quotient, remainder) of x to those of 2x, and adds part
    // for a one bit; remainder + remainder and remainder + part are formed
    // as remainder - (whole - ...) when they would reach whole.
    for (unsigned bit = 0x40; bit != 0; bit >>= 1) {
        quotient *= 2;
        if (remainder >= whole - remainder) {
            remainder -= whole - remainder;
            ++quotient;
        } else {
            remainder += remainder;
        }
        if ((100u & bit) != 0) {
            if (remainder >= whole - part) {
                remainder -= whole - part;
                ++quotient;
            } else {
                remainder += part;
            }
        }
    }
    return static_cast<int>(quotient);
}

CpuTimes intervalOf(const ProcessorTrack& track)
{
    CpuTimes interval;
    if (track.latest.total > track.previous.total)
        interval.total = track.latest.total - track.previous.total;
    if (track.latest.busy > track.previous.busy)
        interval.busy = std::min(track.latest.busy - track.previous.busy, interval.total);
    return interval;
}

}  // namespace

std::size_t parseProcStat(std::string_view text, std::vector<CpuSlot>& cpus)
{
    for (CpuSlot& slot : cpus)
        slot.present = false;
    std::size_t found = 0;
    forEachCompleteLine(text, [&](std::string_view line) {
        unsigned index = 0;
        CpuTimes times;
        if (!parseCpuLine(line, index, times))
            return;
        if (index >= cpus.size())
            cpus.resize(index + 1);
        if (!cpus[index].present)
            ++found;
        cpus[index].present = true;
        cpus[index].times = times;
    });
    return found;
}

std::optional<CommitCharge> parseMeminfo(std::string_view text)
{
    CommitCharge charge;
    bool hasCommitted = false;
    bool hasLimit = false;
    forEachCompleteLine(text, [&](std::string_view line) {
        hasCommitted = readKeyedNumber(line, kCommittedKey, charge.committedKb) || hasCommitted;
        hasLimit = readKeyedNumber(line, kLimitKey, charge.limitKb) || hasLimit;
    });
    if (!hasCommitted || !hasLimit || charge.limitKb == 0)
        return std::nullopt;
    return charge;
}

int committedPercent(const CommitCharge& charge)
{
    if (charge.limitKb == 0)
        return 0;
    if (charge.committedKb >= charge.limitKb)
        return 100;
    return wholePercent(charge.committedKb, charge.limitKb);
}

double committedPercentExact(const CommitCharge& charge)
{
    if (charge.limitKb == 0)
        return 0.0;
    return std::min(100.0, static_cast<double>(charge.committedKb) * 100.0 / static_cast<double>(charge.limitKb));
}

void advanceTrack(ProcessorTrack& track, const CpuTimes* now)
{
    if (now == nullptr) {
        track = ProcessorTrack{};
        return;
    }
    if (!track.hasData || now->total < track.latest.total) {
        track.hasData = true;
        track.previous = CpuTimes{};
        track.latest = *now;
        return;
    }
    if (now->total == track.latest.total)
        return;
    track.previous = track.latest;
    track.latest = *now;
}

int busyPercent(const ProcessorTrack& track)
{
    CpuTimes interval = intervalOf(track);
    if (interval.total == 0)
        return 0;
    return wholePercent(interval.busy, interval.total);
}

double busyPercentExact(const ProcessorTrack& track)
{
    CpuTimes interval = intervalOf(track);
    if (interval.total == 0)
        return 0.0;
    // Rounding both counts to doubles can put the quotient a hair above 100.
    return std::min(100.0, static_cast<double>(interval.busy) * 100.0 / static_cast<double>(interval.total));
}

}  // namespace hostcounters
