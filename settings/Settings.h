#pragma once
// The settings that survive a restart (polling frequency and window
// position) and their 20-byte file beside the executable, or per user where
// the executable's folder cannot be written.

#include <cstdint>
#include <string>

#include "settings/SettingsRecord.h"

using SettingsClock = std::uint64_t (*)();

// The file calls a load and a save make (SettingsFile.h); tests hand in
// failing ones.
struct SettingsFileFunctions;
enum class ReplaceWait;
const SettingsFileFunctions& systemSettingsFiles();

// Milliseconds since Windows started (GetTickCount64): unlike the calendar
// clock, nothing can set it back.
std::uint64_t systemClock();

class Settings {
public:
    // Loads the file of the running executable (settingsPathsFor).
    Settings();
    // Loads the file at settingsPath, reading milliseconds from clock and reading
    // and writing through files; for tests.
    Settings(const std::wstring& settingsPath, SettingsClock clock,
             const SettingsFileFunctions& files = systemSettingsFiles());
    // Loads from paths.load and saves to paths.save.
    Settings(const SettingsPaths& paths, SettingsClock clock,
             const SettingsFileFunctions& files = systemSettingsFiles());
    // Writes an unsaved change, throttle or not.
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Writes the file if a field changed and the last write attempt is more
    // than one second ago.
    void saveIfDue();
    // Writes the file if a field changed, whatever the throttle says; waits
    // about a second for a replace that someone holds up for a moment.
    void saveNow();

    // Store a new value and mark the settings dirty, only on a real change.
    void setPollingFrequency(std::int32_t frequency);
    void setPosition(std::int32_t x, std::int32_t y);

    std::int32_t pollingFrequency = kDefaultPollingFrequency;
    std::int32_t windowX = kDefaultWindowX;
    std::int32_t windowY = kDefaultWindowY;
    // The clock's milliseconds at loading or at the last write attempt.
    std::uint64_t lastSaveTime = 0;
    bool settingsDirty = false;
    // Where saves go.
    std::wstring settingsPath;

private:
    void load(const std::wstring& path);
    void save(std::uint64_t now, ReplaceWait wait);

    SettingsClock clock_;
    const SettingsFileFunctions* files_;
};

extern Settings settings;
