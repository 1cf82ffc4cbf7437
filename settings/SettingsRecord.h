#pragma once
// The settings record: the 20 bytes of plix.cfg (five little-endian 32-bit
// words: magic, version, frequency, x, y), what loading makes of whatever the
// file holds, and where the file lives.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/PollingRate.h"

constexpr std::uint32_t kSettingsMagic = 0xC078AEEDu;
constexpr std::uint32_t kSettingsVersion = 1;
constexpr std::size_t kSettingsWordSize = 4;
constexpr std::size_t kSettingsFileSize = 5 * kSettingsWordSize;

struct StoredSettings {
    std::int32_t pollingFrequency;
    std::int32_t windowX;
    std::int32_t windowY;
};

constexpr std::int32_t kDefaultWindowX = 100;
constexpr std::int32_t kDefaultWindowY = 100;
constexpr StoredSettings kDefaultSettings = {kDefaultPollingFrequency, kDefaultWindowX, kDefaultWindowY};

std::array<unsigned char, kSettingsFileSize> encodeSettings(const StoredSettings& stored);

// The stored fields of a file's bytes, or nothing for a foreign, short or
// other-version file. Bytes after the twentieth are ignored.
std::optional<StoredSettings> decodeSettings(const unsigned char* bytes, std::size_t size);

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

// What the first `size` bytes read from an existing file amount to;
// readFailed tells a failed read from an early end of the file.
SettingsFileContents settingsFileContents(const unsigned char* bytes, std::size_t size, bool readFailed);

// The values to run on after loading, and whether they must be written back.
struct LoadedSettings {
    StoredSettings values;
    bool dirty;
};

// A valid file's values, a frequency outside 1 to 10 repaired to the
// default (dirty). A missing or foreign file gives the defaults, dirty, so
// that the first due save replaces it. An unreadable file gives them clean:
// it is the user's file, held for now, overwritten only after a real change.
LoadedSettings settingsToRunOn(const SettingsFileContents& contents);

// The settings file for an executable path: same folder, name plix.cfg;
// "c:\plix.cfg" when the path has no backslash at all.
std::wstring settingsPathFor(const std::wstring& executablePath);

// Where a save puts the new bytes before they replace the file: plix.cfg.tmp.
std::wstring temporaryPathFor(const std::wstring& settingsPath);

// The settings path's folder: everything before its last backslash.
std::wstring folderOf(const std::wstring& settingsPath);

// The per-user settings file, plix\plix.cfg in the user's local application
// data folder; empty when that folder is unknown (empty).
std::wstring perUserSettingsPathFor(const std::wstring& localAppDataFolder);

// Which file loading reads and which file saves replace.
struct SettingsPaths {
    std::wstring load;
    std::wstring save;
};

// The file beside the executable while its folder can be written or there
// is no per-user place. Otherwise the per-user file, read once it exists;
// until then the executable's file gives the starting values.
SettingsPaths chooseSettingsPaths(const std::wstring& besideExecutable, bool folderWritable,
                                  const std::wstring& perUser, bool perUserExists);
