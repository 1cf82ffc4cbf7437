#pragma once
// The settings file on disk: reading and replacing it through one table of
// file functions, and the executable's path. The record itself, its bytes
// and its path rule are plain functions in settings/SettingsRecord.

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "settings/SettingsRecord.h"

// The running executable's full path, however long; empty on failure.
std::wstring executablePath();

// The file calls that can fail under a load or a save, the module-name
// query and what finding the settings' folder asks of the system, as one
// table of function pointers. The default table calls the runtime, shlwapi,
// kernel32, and shell32 and ole32 loaded from System32 at run time; tests
// hand in a table of their own to make any step fail.
struct SettingsFileFunctions {
    BOOL (WINAPI* exists)(LPCWSTR path);
    FILE* (__cdecl* openShared)(const wchar_t* path, const wchar_t* mode, int shareFlag);
    std::size_t (__cdecl* read)(void* data, std::size_t size, std::size_t count, FILE* file);
    int (__cdecl* readFailed)(FILE* file);
    std::size_t (__cdecl* write)(const void* data, std::size_t size, std::size_t count, FILE* file);
    // Pushes the written bytes through to the disk; 0 on success.
    int (__cdecl* flush)(FILE* file);
    int (__cdecl* close)(FILE* file);
    BOOL (WINAPI* moveFile)(LPCWSTR from, LPCWSTR to, DWORD flags);
    BOOL (WINAPI* deleteFile)(LPCWSTR path);
    DWORD (WINAPI* moduleFileName)(HMODULE module, LPWSTR buffer, DWORD size);
    HANDLE (WINAPI* createFile)(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE model);
    BOOL (WINAPI* createDirectory)(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
    // SHGetKnownFolderPath; E_NOTIMPL where shell32.dll lacks it.
    HRESULT (WINAPI* knownFolderPath)(const GUID& folder, DWORD flags, HANDLE token, PWSTR* path);
    // CoTaskMemFree, for the path knownFolderPath hands out.
    void (WINAPI* freeKnownFolderPath)(LPVOID memory);
    DWORD (WINAPI* environmentVariable)(LPCWSTR name, LPWSTR buffer, DWORD size);
    // GetLastError, Sleep and GetFileAttributesW: why a replace failed, the
    // wait before it is tried again, and the read-only flag of plix.cfg.
    DWORD (WINAPI* lastError)();
    void (WINAPI* wait)(DWORD milliseconds);
    DWORD (WINAPI* attributes)(LPCWSTR path);
};

const SettingsFileFunctions& systemSettingsFiles();

std::wstring executablePath(const SettingsFileFunctions& files);

// Whether a file can be made in folder: one of a name no one else uses is
// created and deleted there. Nothing else tells: attributes and access lists
// say nothing of a write-protected stick or a share's own rules.
bool folderIsWritable(const std::wstring& folder, const SettingsFileFunctions& files);

// The user's local application data folder (the known folder, else
// LOCALAPPDATA); empty when neither gives one.
std::wstring localAppDataFolder(const SettingsFileFunctions& files);

// Where the settings of the executable at executablePath are loaded from
// and saved to (chooseSettingsPaths), decided once, at start; makes the
// per-user plix folder when that is where saves go.
SettingsPaths settingsPathsFor(const std::wstring& executablePath, const SettingsFileFunctions& files);

// What is at the settings path, read through files: a file that is there
// but cannot be opened or read is Unreadable.
SettingsFileContents readSettingsFile(const std::wstring& settingsPath, const SettingsFileFunctions& files);

// Windows refuses to replace plix.cfg while a search indexer, a virus
// scanner or a sync client has it open for a moment. A save with a next due
// time tries again then; the exit and logoff saves have none, so they wait.
enum class ReplaceWait { None, AboutASecond };

// Replaces the file at settingsPath with the 20 bytes of stored, through a
// temporary file that is flushed to disk and then moved over it; on any
// failure the old file stays as it was, no temporary file of this save is
// left, and the result is false. A read-only file is left alone before any
// temporary file is made.
bool writeSettingsFile(const std::wstring& settingsPath, const StoredSettings& stored,
                       const SettingsFileFunctions& files, ReplaceWait wait);

// Removes a temporary file left by a process that died mid-save. One that a
// running process still holds open stays.
void removeLeftoverTemporaryFile(const std::wstring& settingsPath, const SettingsFileFunctions& files);
