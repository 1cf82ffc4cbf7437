#pragma once
// The processors as the "Processor Information" counter object names them,
// in the order their strips are numbered. The names come from PDH and are
// taken as untrusted text.

#include <cstddef>
#include <string>
#include <vector>

// The instance names "node,index" (the NUMA node and the processor's place
// in it) by node, then index, where PDH lists them in string order ("0,0",
// "0,1", "0,10", "0,2", ...). Left out: the totals ("0,_Total", "_Total"),
// every name that is not two decimal numbers of 32 bits at most, without
// sign or leading zero, joined by one comma, a second copy of a name, and
// all after the first `limit`.
std::vector<std::wstring> processorsInNodeOrder(const std::vector<std::wstring>& instanceNames, std::size_t limit);
