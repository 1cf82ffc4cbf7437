// Any bytes as a /proc/stat text and node cpulists, the way the host
// counters build their topology. The input is split at each '|': the first
// part is /proc/stat, each later one a node folder whose number is its first
// byte and whose cpulist is the rest. Each text is an exact-size heap copy,
// so AddressSanitizer stops any read past its end. The topology must be
// Windows' shape whatever the texts: nodes in order without a processor
// twice, a first group of at most 64 taken from the front, instances in
// string order that name every processor once.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "hostcounters/NodeTopology.h"

using namespace hostcounters;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::vector<char>> parts(1);
    for (std::size_t n = 0; n < size; ++n) {
        if (data[n] == '|')
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[n]));
    }
    std::vector<CpuSlot> stat;
    parseProcStat({parts[0].data(), parts[0].size()}, stat);
    std::vector<NodeCpuList> lists;
    bool allParse = true;
    for (std::size_t n = 1; n < parts.size(); ++n) {
        const std::vector<char> text(parts[n].begin() + (parts[n].empty() ? 0 : 1), parts[n].end());
        lists.push_back({parts[n].empty() ? 0u : static_cast<unsigned char>(parts[n][0]), {text.begin(), text.end()}});
        std::vector<unsigned> cpus;
        allParse = parseCpuList({text.data(), text.size()}, cpus) && allParse;
        for (std::size_t k = 1; k < cpus.size(); ++k)
            check(cpus[k - 1] < cpus[k] && cpus[k] < kMaxProcessors);
    }

    const Topology topology = buildTopology(lists, stat);
    std::vector<unsigned> all;
    std::vector<bool> seen(kMaxProcessors, false);
    for (std::size_t n = 0; n < topology.nodes.size(); ++n) {
        const ProcessorNode& node = topology.nodes[n];
        check(!node.cpus.empty() && (n == 0 || topology.nodes[n - 1].number < node.number));
        check(allParse || node.number == 0);
        for (std::size_t index = 0; index < node.cpus.size(); ++index) {
            const unsigned cpu = node.cpus[index];
            check(cpu < stat.size() && stat[cpu].present && !seen[cpu]);
            check(index == 0 || node.cpus[index - 1] < cpu);
            seen[cpu] = true;
            all.push_back(cpu);
            unsigned found = 0;
            check(cpuOfInstance(topology, node.number, static_cast<unsigned>(index), found) && found == cpu);
        }
    }
    check(topology.firstGroup.size() <= kGroupSize && topology.firstGroup.size() <= all.size());
    check(std::vector<unsigned>(all.begin(), all.begin() + topology.firstGroup.size()) == topology.firstGroup);
    check(all.empty() == topology.firstGroup.empty());

    check(topology.instances.size() == all.size() + topology.nodes.size() + 1);
    std::vector<InstanceSample> samples;
    sampleInstances(topology.instances, stat, samples);
    for (std::size_t n = 0; n < samples.size(); ++n) {
        check(n == 0 || topology.instances[n - 1].name < topology.instances[n].name);
        check(samples[n].times.busy <= samples[n].times.total && hundredNanoseconds(samples[n].times.total) >= 0);
    }
    return 0;
}
