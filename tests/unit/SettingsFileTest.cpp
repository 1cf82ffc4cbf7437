#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"
#include "tests/support/TestFiles.h"

namespace {

std::wstring fakeModuleName;
bool moduleQueryFails = false;
std::vector<DWORD> offeredSizes;

// Behaves like GetModuleFileNameW: a name that does not fit is cut to the
// buffer, terminator included, and the buffer's size comes back.
DWORD WINAPI fakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size)
{
    offeredSizes.push_back(size);
    if (moduleQueryFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const std::size_t length = fakeModuleName.size();
    if (length >= size) {
        std::copy_n(fakeModuleName.begin(), size - 1, buffer);
        buffer[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(fakeModuleName.begin(), fakeModuleName.end(), buffer);
    buffer[length] = L'\0';
    return static_cast<DWORD>(length);
}

SettingsFileFunctions filesWithFakeModuleName()
{
    SettingsFileFunctions files = systemSettingsFiles();
    files.moduleFileName = fakeModuleFileName;
    return files;
}

std::wstring fakePathOfLength(std::size_t length)
{
    const std::wstring name = L"\\gauge.exe";
    return L"D:\\" + std::wstring(length - 3 - name.size(), L'x') + name;
}

// The executable's folder takes new files or not; the known folder is there or not.
bool probeRefused = false;
std::wstring knownFolder;

HANDLE WINAPI scriptedCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return probeRefused ? INVALID_HANDLE_VALUE : CreateFileW(path, access, share, security, disposition, flags, model);
}

HRESULT WINAPI scriptedKnownFolderPath(const GUID&, DWORD, HANDLE, PWSTR* path)
{
    *path = knownFolder.empty() ? nullptr : _wcsdup(knownFolder.c_str());
    return knownFolder.empty() ? E_FAIL : S_OK;
}

void WINAPI freeCopy(LPVOID memory) { free(memory); }

}  // namespace

TEST(SettingsPlace, BesideTheExecutableWhileItsFolderTakesFilesElsePerUser)
{
    SettingsFileFunctions files = systemSettingsFiles();
    files.createFile = scriptedCreateFile;
    files.knownFolderPath = scriptedKnownFolderPath;
    files.freeKnownFolderPath = freeCopy;
    struct Row { const char* name; bool probeRefused, knownFolder, environment, perUserFile, loadPerUser, savePerUser; };
    const Row rows[] = {
        {"writable folder", false, true, true, true, false, false},
        {"unwritable, no per-user file yet", true, true, false, false, false, true},
        {"unwritable, per-user file", true, true, false, true, true, true},
        {"unwritable, only LOCALAPPDATA", true, false, true, true, true, true},
        {"unwritable, no user folder at all", true, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        const std::wstring root = makeTestFolder(L"settings-place"), app = root + L"\\app", user = root + L"\\user";
        const std::wstring beside = app + L"\\plix.cfg", plixFolder = user + L"\\plix", perUser = plixFolder + L"\\plix.cfg";
        CreateDirectoryW(app.c_str(), nullptr);
        CreateDirectoryW(user.c_str(), nullptr);
        if (row.perUserFile && CreateDirectoryW(plixFolder.c_str(), nullptr))
            writeFile(perUser, {1, 2, 3});
        probeRefused = row.probeRefused;
        knownFolder = row.knownFolder ? user : L"";
        SetEnvironmentVariableW(L"LOCALAPPDATA", row.environment ? (user + L"\\").c_str() : nullptr);
        const SettingsPaths paths = settingsPathsFor(app + L"\\gauge.exe", files);
        EXPECT_EQ(paths.load, row.loadPerUser ? perUser : beside) << row.name;
        EXPECT_EQ(paths.save, row.savePerUser ? perUser : beside) << row.name;
        // The plix folder is made for saves there, and no probe file stays.
        DeleteFileW(perUser.c_str());
        EXPECT_EQ(RemoveDirectoryW(plixFolder.c_str()) != FALSE, row.savePerUser || row.perUserFile) << row.name;
        for (const std::wstring& folder : {user, app, root})
            EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << row.name;
    }
}

TEST(ExecutablePath, GrowsItsBufferUntilTheWholeNameFits)
{
    moduleQueryFails = false;
    const SettingsFileFunctions files = filesWithFakeModuleName();
    for (const std::size_t length : {259u, 260u, 261u, 300u, 600u, 5000u}) {
        fakeModuleName = fakePathOfLength(length);
        offeredSizes.clear();
        const std::wstring path = executablePath(files);
        EXPECT_EQ(path, fakeModuleName) << "length " << length;
        EXPECT_EQ(settingsPathFor(path), fakeModuleName.substr(0, length - 10) + L"\\plix.cfg");
        EXPECT_EQ(offeredSizes.size() > 1, length >= 260) << "length " << length;
    }
}

TEST(ExecutablePath, IsEmptyWhenTheQueryFails)
{
    moduleQueryFails = true;
    const SettingsFileFunctions files = filesWithFakeModuleName();
    const std::wstring path = executablePath(files);
    moduleQueryFails = false;
    EXPECT_EQ(path, L"");
    EXPECT_EQ(settingsPathFor(path), L"c:\\plix.cfg");
}

TEST(ExecutablePath, NamesTheRunningTestProgram)
{
    std::wstring path = executablePath();
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
    const std::wstring name = L"\\plix_unit_tests.exe";
    ASSERT_GT(path.size(), name.size());
    EXPECT_EQ(path.substr(path.size() - name.size()), name);
}
