#pragma once
// The processors of a machine as the "Processor Information" counter object
// names them, put in the order their strips are numbered. No Win32 here:
// the instance names come from PDH and are taken as untrusted text.

#include <cstddef>
#include <string>
#include <vector>

// The instance names of processors, "node,index" (the NUMA node and the
// processor's place inside it), in numeric order: by node, then by index.
// PDH lists them in string order ("0,0", "0,1", "0,10", "0,2", ...). The
// totals ("0,_Total", "_Total") and every name that is not two decimal
// numbers of 32 bits at most, without sign or leading zero, joined by one
// comma, are left out, and so is a second copy of a name. At most `limit`
// names are kept, the first ones in that order.
std::vector<std::wstring> processorsInNodeOrder(const std::vector<std::wstring>& instanceNames, std::size_t limit);
