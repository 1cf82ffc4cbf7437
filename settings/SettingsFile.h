#pragma once
// The settings file's format and place, as plain functions: five
// little-endian 32-bit words (magic, version, frequency, x, y).

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

constexpr std::uint32_t kSettingsMagic = 0xC078AEEDu;
constexpr std::uint32_t kSettingsVersion = 1;
constexpr std::size_t kSettingsFileSize = 20;

struct StoredSettings {
    std::int32_t pollingFrequency;
    std::int32_t windowX;
    std::int32_t windowY;
};

std::array<unsigned char, kSettingsFileSize> encodeSettings(const StoredSettings& stored);

// The stored fields of a file's bytes, or nothing for a foreign, short or
// other-version file, and for one shorter than 20 bytes. Bytes after the
// twentieth are ignored.
std::optional<StoredSettings> decodeSettings(const unsigned char* bytes, std::size_t size);

// The settings file for an executable path: same folder, name plix.cfg;
// "c:\plix.cfg" when the path has no backslash at all.
std::wstring settingsPathFor(const std::wstring& executablePath);

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

// Where a save puts the new bytes before they replace the file: plix.cfg.tmp.
std::wstring temporaryPathFor(const std::wstring& settingsPath);

// What loading found at the settings path.
enum class SettingsFileState {
    Valid,       // a file of this program's format; `stored` holds its fields
    Replaceable, // missing, foreign, of another version or shorter than 20 bytes
    Unreadable,  // there, but it could not be opened or a read failed
};

struct SettingsFileContents {
    SettingsFileState state;
    StoredSettings stored;
};

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
