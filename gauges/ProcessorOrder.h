#pragma once
// The processors as the "Processor Information" counter object names them,
// in the order their strips are numbered. The names come from PDH and are
// taken as untrusted text.

#include <cstddef>
#include <string>
#include <vector>

// The instance names "node,index" by node, then index, where PDH lists them
// in string order ("0,0", "0,1", "0,10", "0,2", ...). Left out: the totals,
// every name that is not two 32-bit decimal numbers without sign or leading
// zero joined by one comma, a second copy of a name, and all past `limit`.
std::vector<std::wstring> processorsInNodeOrder(const std::vector<std::wstring>& instanceNames, std::size_t limit);
