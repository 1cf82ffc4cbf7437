// The settings file on disk: where it is kept (beside the executable, or
// per user), the read that tells a missing file from an unreadable one, and
// the write through a temporary file that leaves the previous file whole
// when a save fails.

#include "settings/SettingsFile.h"

#include <io.h>
#include <share.h>
#include <shlwapi.h>

#include <vector>

#include "common/SystemFunction.h"

namespace {

constexpr std::size_t kWordCount = kSettingsFileSize / kSettingsWordSize;
constexpr DWORD kFirstModulePathCapacity = 260;
// Far beyond the longest path Windows can give a module.
constexpr DWORD kLargestModulePathCapacity = 1u << 16;

// FOLDERID_LocalAppData, written out here: the SDKs keep it in a static
// library (uuid) of its own.
constexpr GUID kLocalAppDataFolderId = {0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
constexpr wchar_t kLocalAppDataVariable[] = L"LOCALAPPDATA";

using KnownFolderPathFunction = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
using FreeFunction = void(WINAPI*)(LPVOID);

// shell32.dll and ole32.dll are loaded on first use, from System32 only:
// only a plix in a folder it cannot write asks for the user's folder, and
// a portable copy never pays for loading the shell.
HRESULT WINAPI shellKnownFolderPath(const GUID& folder, DWORD flags, HANDLE token, PWSTR* path)
{
    static const KnownFolderPathFunction function =
        systemFunction<KnownFolderPathFunction>(L"shell32.dll", "SHGetKnownFolderPath");
    if (function == nullptr) {
        *path = nullptr;
        return E_NOTIMPL;
    }
    return function(folder, flags, token, path);
}

void WINAPI freeTaskMemory(LPVOID memory)
{
    static const FreeFunction function = systemFunction<FreeFunction>(L"ole32.dll", "CoTaskMemFree");
    if (function != nullptr)
        function(memory);
}

// The runtime's buffer goes to the system with fflush, and the system's
// cache to the disk with _commit, so that a power cut after the rename
// cannot leave a settings file full of zeros.
int __cdecl flushToDisk(FILE* file)
{
    if (std::fflush(file) != 0)
        return EOF;
    return _commit(_fileno(file));
}

constexpr DWORD kReplaceRetryMs = 100;
constexpr int kReplaceRetries = 10;  // about a second in all

// The user's read-only flag: Windows would refuse the replace for as long as
// it is set, so there is nothing to write a temporary file for.
bool isReadOnly(const std::wstring& path, const SettingsFileFunctions& files)
{
    const DWORD attributes = files.attributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// How Windows refuses the replace while another program has the file open
// without sharing its deletion.
bool refusedForNow(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

bool moveOver(const std::wstring& from, const std::wstring& to, ReplaceWait wait, const SettingsFileFunctions& files)
{
    const int retries = wait == ReplaceWait::AboutASecond ? kReplaceRetries : 0;
    for (int attempt = 0;; ++attempt) {
        if (files.moveFile(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt == retries || !refusedForNow(files.lastError()))
            return false;
        files.wait(kReplaceRetryMs);
    }
}

}  // namespace

const SettingsFileFunctions& systemSettingsFiles()
{
    static const SettingsFileFunctions table = {
        PathFileExistsW,
        _wfsopen,
        fread,
        ferror,
        fwrite,
        flushToDisk,
        fclose,
        MoveFileExW,
        DeleteFileW,
        GetModuleFileNameW,
        CreateFileW,
        CreateDirectoryW,
        shellKnownFolderPath,
        freeTaskMemory,
        GetEnvironmentVariableW,
        GetLastError,
        Sleep,
        GetFileAttributesW,
    };
    return table;
}

std::wstring executablePath(const SettingsFileFunctions& files)
{
    // A name that does not fit comes back cut, with the buffer's full size
    // as the result; so grow until the result is smaller than the buffer.
    for (DWORD capacity = kFirstModulePathCapacity; capacity <= kLargestModulePathCapacity; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity);
        const DWORD length = files.moduleFileName(nullptr, buffer.data(), capacity);
        if (length == 0)
            return std::wstring();
        if (length < capacity)
            return std::wstring(buffer.data(), length);
    }
    return std::wstring();
}

std::wstring executablePath()
{
    return executablePath(systemSettingsFiles());
}

bool folderIsWritable(const std::wstring& folder, const SettingsFileFunctions& files)
{
    // The process id and the tick count make a name no other process uses,
    // and the system deletes the file as its handle closes, even should
    // plix die in between.
    const std::wstring probe = folder + L"\\plix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount64()) + L".probe";
    const HANDLE file = files.createFile(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::wstring localAppDataFolder(const SettingsFileFunctions& files)
{
    PWSTR known = nullptr;
    const HRESULT result = files.knownFolderPath(kLocalAppDataFolderId, 0, nullptr, &known);
    const std::wstring folder = SUCCEEDED(result) && known != nullptr ? known : L"";
    // Freed whether the call succeeded or not, as SHGetKnownFolderPath asks.
    files.freeKnownFolderPath(known);
    if (!folder.empty())
        return folder;
    const DWORD size = files.environmentVariable(kLocalAppDataVariable, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD length = files.environmentVariable(kLocalAppDataVariable, buffer.data(), size);
    return length < size ? std::wstring(buffer.data(), length) : std::wstring();
}

SettingsPaths settingsPathsFor(const std::wstring& executablePath, const SettingsFileFunctions& files)
{
    const std::wstring besideExecutable = settingsPathFor(executablePath);
    const bool writable = folderIsWritable(folderOf(besideExecutable), files);
    const std::wstring perUser = writable ? std::wstring() : perUserSettingsPathFor(localAppDataFolder(files));
    if (!perUser.empty())
        files.createDirectory(folderOf(perUser).c_str(), nullptr);
    const bool perUserExists = !perUser.empty() && files.exists(perUser.c_str());
    return chooseSettingsPaths(besideExecutable, writable, perUser, perUserExists);
}

SettingsFileContents readSettingsFile(const std::wstring& settingsPath, const SettingsFileFunctions& files)
{
    if (!files.exists(settingsPath.c_str())) {
        return {SettingsFileState::Replaceable, kDefaultSettings};
    }
    // A file that is there but held by a backup tool, a virus scanner or
    // another instance's save is the user's file all the same: unreadable
    // now, not replaceable.
    FILE* file = files.openShared(settingsPath.c_str(), L"rb", _SH_DENYNO);
    if (file == nullptr) {
        return {SettingsFileState::Unreadable, kDefaultSettings};
    }
    unsigned char bytes[kSettingsFileSize] = {};
    const std::size_t size = files.read(bytes, 1, sizeof bytes, file);
    const bool readFailed = size < sizeof bytes && files.readFailed(file) != 0;
    files.close(file);
    return settingsFileContents(bytes, size, readFailed);
}

bool writeSettingsFile(const std::wstring& settingsPath, const StoredSettings& stored,
                       const SettingsFileFunctions& files, ReplaceWait wait)
{
    if (isReadOnly(settingsPath, files))
        return false;
    const std::wstring temporaryPath = temporaryPathFor(settingsPath);
    // Opened exclusively, so a second running instance saving at the same
    // moment fails here instead of mixing its bytes into ours. Its temporary
    // file is not ours to remove.
    FILE* file = files.openShared(temporaryPath.c_str(), L"wb", _SH_DENYRW);
    if (file == nullptr)
        return false;

    const std::array<unsigned char, kSettingsFileSize> bytes = encodeSettings(stored);
    bool written = true;
    for (std::size_t word = 0; word < kWordCount && written; ++word)
        written = files.write(&bytes[word * kSettingsWordSize], kSettingsWordSize, 1, file) == 1;
    // The flush hands the buffered bytes to the system, so a full disk may
    // only show here; a failed flush fails the save like a failed write.
    if (written && files.flush(file) != 0)
        written = false;
    if (files.close(file) != 0)
        written = false;
    if (!written) {
        files.deleteFile(temporaryPath.c_str());
        return false;
    }

    if (!moveOver(temporaryPath, settingsPath, wait, files)) {
        files.deleteFile(temporaryPath.c_str());
        return false;
    }
    return true;
}

void removeLeftoverTemporaryFile(const std::wstring& settingsPath, const SettingsFileFunctions& files)
{
    files.deleteFile(temporaryPathFor(settingsPath).c_str());
}
