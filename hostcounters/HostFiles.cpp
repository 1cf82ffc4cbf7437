// The Win32 file work of the host counters: reading the kept-open /proc
// files and the node cpulists and writing the collect and open logs, with
// plain CreateFileW, FindFirstFileW, SetFilePointer, ReadFile and WriteFile
// so that Wine maps them onto the host's files.

#include "hostcounters/HostFiles.h"

#include <utility>

namespace hostcounters {

namespace {

constexpr wchar_t kProcDirVariable[] = L"PLIX_PROC_DIR";
constexpr wchar_t kCollectLogVariable[] = L"PLIX_COLLECT_LOG";
constexpr wchar_t kOpenLogVariable[] = L"PLIX_OPEN_LOG";
constexpr wchar_t kNoCountersVariable[] = L"PLIX_NO_COUNTERS";
constexpr wchar_t kRefuseOpenVariable[] = L"PLIX_REFUSE_OPEN";
constexpr wchar_t kHostStatPath[] = L"Z:\\proc\\stat";
constexpr wchar_t kHostMeminfoPath[] = L"Z:\\proc\\meminfo";
constexpr wchar_t kHostNodeFolder[] = L"Z:\\sys\\devices\\system\\node";
constexpr std::wstring_view kNodePrefix = L"node";
// A cpulist of every other processor of 8192 stays under this.
constexpr DWORD kCpuListCapacity = 64 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kMaxDecimalDigits = 20;

// Empty when the variable is not set.
std::wstring environmentValue(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring inFolder(const std::wstring& folder, const wchar_t* name)
{
    std::wstring path = folder;
    if (path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path + name;
}

// N of a folder named "nodeN".
bool nodeNumberOf(std::wstring_view name, unsigned& node)
{
    if (name.substr(0, kNodePrefix.size()) != kNodePrefix || name.size() == kNodePrefix.size())
        return false;
    node = 0;
    for (wchar_t c : name.substr(kNodePrefix.size())) {
        if (c < L'0' || c > L'9' || node >= kMaxProcessors)
            return false;
        node = node * 10 + static_cast<unsigned>(c - L'0');
    }
    return true;
}

// The whole text of a small file; false when it cannot be opened or read.
bool readSmallFile(const std::wstring& path, std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    text.assign(kCpuListCapacity, '\0');
    DWORD bytesRead = 0;
    bool read = ReadFile(file, &text[0], kCpuListCapacity, &bytesRead, nullptr) != FALSE;
    CloseHandle(file);
    text.resize(read ? bytesRead : 0);
    return read;
}

}  // namespace

HostConfig readHostConfig()
{
    HostConfig config;
    std::wstring procDir = environmentValue(kProcDirVariable);
    config.recordedFiles = !procDir.empty();
    config.statPath = config.recordedFiles ? inFolder(procDir, L"stat") : kHostStatPath;
    config.meminfoPath = config.recordedFiles ? inFolder(procDir, L"meminfo") : kHostMeminfoPath;
    config.nodeFolder = config.recordedFiles ? inFolder(procDir, L"node") : kHostNodeFolder;
    config.collectLogPath = environmentValue(kCollectLogVariable);
    config.openLogPath = environmentValue(kOpenLogVariable);
    config.countersDisabled = !environmentValue(kNoCountersVariable).empty();
    config.refuseOpenPath = environmentValue(kRefuseOpenVariable);
    return config;
}

std::vector<NodeCpuList> readNodeLists(const std::wstring& nodeFolder)
{
    std::vector<NodeCpuList> lists;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(inFolder(nodeFolder, L"node*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return lists;
    bool readable = true;
    do {
        NodeCpuList list;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !nodeNumberOf(found.cFileName, list.node))
            continue;
        std::wstring path = inFolder(inFolder(nodeFolder, found.cFileName), L"cpulist");
        readable = readSmallFile(path, list.text);
        lists.push_back(std::move(list));
    } while (readable && FindNextFileW(search, &found));
    FindClose(search);
    if (!readable)
        lists.clear();
    return lists;
}

KeptOpenFile::~KeptOpenFile()
{
    close();
}

void KeptOpenFile::setPath(std::wstring path, bool keepOpen)
{
    close();
    path_ = std::move(path);
    keepOpen_ = keepOpen;
}

std::string_view KeptOpenFile::read(char* buffer, DWORD capacity)
{
    if (handle_ == INVALID_HANDLE_VALUE) {
        handle_ = CreateFileW(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            return std::string_view();
    }
    DWORD bytesRead = 0;
    if (SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(handle_, buffer, capacity, &bytesRead, nullptr) || bytesRead == 0) {
        close();
        return std::string_view();
    }
    if (!keepOpen_)
        close();
    return std::string_view(buffer, bytesRead);
}

void KeptOpenFile::close()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

CountLog::~CountLog()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

void CountLog::setPath(std::wstring path)
{
    path_ = std::move(path);
}

void CountLog::write(std::uint64_t count)
{
    if (path_.empty())
        return;
    if (handle_ == INVALID_HANDLE_VALUE) {
        handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            return;
    }
    char digits[kMaxDecimalDigits];
    std::size_t start = kMaxDecimalDigits;
    do {
        digits[--start] = static_cast<char>('0' + count % 10);
        count /= 10;
    } while (count != 0);
    // The count only grows, so each text covers the one before it and the
    // file needs no truncating.
    DWORD written = 0;
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    WriteFile(handle_, digits + start, static_cast<DWORD>(kMaxDecimalDigits - start), &written, nullptr);
}

}  // namespace hostcounters
