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

// The file calls that can fail under a load or a save, and the module-name
// query, as one table of function pointers. The default table calls the
// runtime, shlwapi and kernel32; tests hand in a table of their own to make
// any step fail.
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
};

const SettingsFileFunctions& systemSettingsFiles();

std::wstring executablePath(const SettingsFileFunctions& files);

// What is at the settings path, read through files: a file that is there
// but cannot be opened or read is Unreadable.
SettingsFileContents readSettingsFile(const std::wstring& settingsPath, const SettingsFileFunctions& files);

// Replaces the file at settingsPath with the 20 bytes of stored, through a
// temporary file that is flushed to disk and then moved over it; on any
// failure the old file stays as it was, no temporary file of this save is
// left, and the result is false.
bool writeSettingsFile(const std::wstring& settingsPath, const StoredSettings& stored,
                       const SettingsFileFunctions& files);

// Removes a temporary file left by a process that died mid-save. One that a
// running process still holds open stays.
void removeLeftoverTemporaryFile(const std::wstring& settingsPath, const SettingsFileFunctions& files);
