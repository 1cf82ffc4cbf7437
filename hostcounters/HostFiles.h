#pragma once
// The files behind the host counters: /proc/stat and /proc/meminfo read
// through Wine's Z: drive (or a folder of recorded copies for tests), the
// NUMA nodes' cpulists from sysfs (or their recorded copies), and the
// optional collect and open logs.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostcounters/NodeTopology.h"

namespace hostcounters {

// Where the counters read from, taken from the environment once:
//   PLIX_PROC_DIR     folder holding `stat` and `meminfo` to read instead
//                     of Z:\proc, and `node\nodeN\cpulist` instead of
//                     Z:\sys\devices\system\node
//   PLIX_COLLECT_LOG  file that receives the running count of collects
//   PLIX_OPEN_LOG     file that receives the running count of opened queries
//   PLIX_NO_COUNTERS  set: every counter is refused, as on a Windows whose
//                     performance counters are disabled
//   PLIX_REFUSE_OPEN  file; while it exists every open of a query fails, as
//                     one does on Windows while memory is short
struct HostConfig {
    std::wstring statPath;
    std::wstring meminfoPath;
    std::wstring nodeFolder;
    bool recordedFiles = false;  // PLIX_PROC_DIR was set
    std::wstring collectLogPath;  // empty: no log
    std::wstring openLogPath;     // empty: no log
    bool countersDisabled = false;
    std::wstring refuseOpenPath;  // empty: opens never refused
};

HostConfig readHostConfig();

// The cpulist of every nodeN folder in `nodeFolder`, in no particular order.
// Empty when there are none, or when one of them cannot be read: either way
// the topology is then one node.
std::vector<NodeCpuList> readNodeLists(const std::wstring& nodeFolder);

// A file kept open and read again from offset 0 each time: /proc files
// produce fresh text for every read at the start. A failed read closes the
// file, and the next read opens it again.
class KeptOpenFile {
public:
    KeptOpenFile() = default;
    KeptOpenFile(const KeptOpenFile&) = delete;
    KeptOpenFile& operator=(const KeptOpenFile&) = delete;
    ~KeptOpenFile();

    // `keepOpen` false opens the file for each read and closes it again,
    // for recorded files that tests delete and restore: a file deleted
    // while a handle holds it open is only marked for deletion, and stays
    // readable through that handle.
    void setPath(std::wstring path, bool keepOpen);

    // The file's text, at most `capacity` bytes of it in one read; empty
    // when the file cannot be opened or read or is empty.
    std::string_view read(char* buffer, DWORD capacity);

    void close();

private:
    std::wstring path_;
    bool keepOpen_ = true;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Rewrites a file from its start with a decimal count (of collects, or of
// opens). Opened at the first
// write, and tried again at the next one if that failed.
class CountLog {
public:
    CountLog() = default;
    CountLog(const CountLog&) = delete;
    CountLog& operator=(const CountLog&) = delete;
    ~CountLog();

    void setPath(std::wstring path);
    void write(std::uint64_t count);

private:
    std::wstring path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace hostcounters
