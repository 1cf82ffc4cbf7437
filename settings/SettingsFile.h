#pragma once
// The settings file's format and place, as plain functions: five
// little-endian 32-bit words (magic, version, frequency, x, y).

#include <array>
#include <cstddef>
#include <cstdint>
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
// other-version file. Bytes after the twentieth are ignored.
std::optional<StoredSettings> decodeSettings(const unsigned char* bytes, std::size_t size);

// The settings file for an executable path: same folder, name plix.cfg;
// "c:\plix.cfg" when the path has no backslash at all.
std::wstring settingsPathFor(const std::wstring& executablePath);

// The running executable's full path, however long; empty on failure.
std::wstring executablePath();

// The polling frequency the Config dialog accepts and the timer can use.
constexpr bool isValidPollingFrequency(std::int32_t frequency) { return frequency >= 1 && frequency <= 10; }
