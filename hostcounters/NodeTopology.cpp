// Linux's node cpulists turned into Windows' view of the processors: the
// nodes with their processors in cpu order, the "node,index" instances of
// the Processor Information object in the order PDH lists them, and the
// first processor group that the legacy Processor object is limited to.

#include "hostcounters/NodeTopology.h"

#include <algorithm>
#include <limits>

namespace hostcounters {

namespace {

constexpr std::uint64_t kHundredNanosecondsPerJiffy = 100000;

// A decimal number at `pos`, stopping early once it is past any cpu number.
bool readCpuNumber(std::string_view text, std::size_t& pos, unsigned& value)
{
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9')
        return false;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + static_cast<unsigned>(text[pos] - '0');
        if (value >= kMaxProcessors)
            return false;
        ++pos;
    }
    return true;
}

bool isPresent(const std::vector<CpuSlot>& stat, unsigned cpu)
{
    return cpu < stat.size() && stat[cpu].present;
}

// The nodes the lists describe, in node order; false when they cannot be
// trusted.
bool nodesOfLists(const std::vector<NodeCpuList>& lists, const std::vector<CpuSlot>& stat,
                  std::vector<ProcessorNode>& nodes)
{
    if (lists.empty())
        return false;
    std::vector<const NodeCpuList*> order;
    for (const NodeCpuList& list : lists)
        order.push_back(&list);
    std::sort(order.begin(), order.end(), [](const NodeCpuList* a, const NodeCpuList* b) { return a->node < b->node; });
    std::vector<bool> owned(kMaxProcessors, false);
    std::vector<unsigned> cpus;
    for (const NodeCpuList* list : order) {
        if (!nodes.empty() && nodes.back().number == list->node)
            return false;
        if (!parseCpuList(list->text, cpus))
            return false;
        ProcessorNode node;
        node.number = list->node;
        for (unsigned cpu : cpus) {
            if (owned[cpu])
                return false;
            owned[cpu] = true;
            if (isPresent(stat, cpu))
                node.cpus.push_back(cpu);
        }
        nodes.push_back(std::move(node));
    }
    return true;
}

std::vector<unsigned> firstGroupOf(const std::vector<ProcessorNode>& nodes)
{
    std::vector<unsigned> group;
    for (const ProcessorNode& node : nodes) {
        if (group.empty() && node.cpus.size() > kGroupSize)
            return std::vector<unsigned>(node.cpus.begin(), node.cpus.begin() + kGroupSize);
        if (group.size() + node.cpus.size() > kGroupSize)
            break;
        group.insert(group.end(), node.cpus.begin(), node.cpus.end());
    }
    return group;
}

std::vector<ProcessorInstance> instancesOf(const std::vector<ProcessorNode>& nodes)
{
    std::vector<ProcessorInstance> instances;
    ProcessorInstance total{L"_Total", {}};
    for (const ProcessorNode& node : nodes) {
        const std::wstring prefix = std::to_wstring(node.number) + L",";
        for (std::size_t index = 0; index < node.cpus.size(); ++index)
            instances.push_back({prefix + std::to_wstring(index), {node.cpus[index]}});
        instances.push_back({prefix + L"_Total", node.cpus});
        total.cpus.insert(total.cpus.end(), node.cpus.begin(), node.cpus.end());
    }
    instances.push_back(std::move(total));
    std::sort(instances.begin(), instances.end(),
              [](const ProcessorInstance& a, const ProcessorInstance& b) { return a.name < b.name; });
    return instances;
}

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b)
{
    return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

}  // namespace

bool parseCpuList(std::string_view text, std::vector<unsigned>& cpus)
{
    cpus.clear();
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (text.empty())
        return true;
    std::vector<bool> listed(kMaxProcessors, false);
    std::size_t pos = 0;
    for (;;) {
        unsigned first = 0;
        if (!readCpuNumber(text, pos, first))
            return false;
        unsigned last = first;
        if (pos < text.size() && text[pos] == '-' && !readCpuNumber(text, ++pos, last))
            return false;
        if (last < first)
            return false;
        for (unsigned cpu = first; cpu <= last; ++cpu)
            listed[cpu] = true;
        if (pos == text.size())
            break;
        if (text[pos++] != ',')
            return false;
    }
    for (unsigned cpu = 0; cpu < kMaxProcessors; ++cpu) {
        if (listed[cpu])
            cpus.push_back(cpu);
    }
    return true;
}

Topology buildTopology(const std::vector<NodeCpuList>& lists, const std::vector<CpuSlot>& stat)
{
    std::vector<ProcessorNode> nodes;
    if (!nodesOfLists(lists, stat, nodes)) {
        nodes.assign(1, ProcessorNode{});
        for (unsigned cpu = 0; cpu < stat.size(); ++cpu) {
            if (stat[cpu].present)
                nodes[0].cpus.push_back(cpu);
        }
    }
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(), [](const ProcessorNode& node) { return node.cpus.empty(); }),
                nodes.end());
    Topology topology;
    topology.firstGroup = firstGroupOf(nodes);
    topology.instances = instancesOf(nodes);
    topology.nodes = std::move(nodes);
    return topology;
}

bool cpuOfInstance(const Topology& topology, unsigned node, unsigned index, unsigned& cpu)
{
    for (const ProcessorNode& candidate : topology.nodes) {
        if (candidate.number == node && index < candidate.cpus.size()) {
            cpu = candidate.cpus[index];
            return true;
        }
    }
    return false;
}

void sampleInstances(const std::vector<ProcessorInstance>& instances, const std::vector<CpuSlot>& stat,
                     std::vector<InstanceSample>& samples)
{
    samples.resize(instances.size());
    for (std::size_t n = 0; n < instances.size(); ++n) {
        InstanceSample sample;
        for (unsigned cpu : instances[n].cpus) {
            if (!isPresent(stat, cpu))
                continue;
            sample.present = true;
            sample.times.busy = saturatingSum(sample.times.busy, stat[cpu].times.busy);
            sample.times.total = saturatingSum(sample.times.total, stat[cpu].times.total);
        }
        samples[n] = sample;
    }
}

std::int64_t hundredNanoseconds(std::uint64_t jiffies)
{
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (jiffies > kMax / kHundredNanosecondsPerJiffy)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(jiffies * kHundredNanosecondsPerJiffy);
}

}  // namespace hostcounters
