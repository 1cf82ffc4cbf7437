// The settings record: loaded from plix.cfg at construction (or defaults),
// changed by the rest of the program through the compare-first setters or
// the fields, and written back by the throttled save on the polling tick
// and by the unthrottled save at exit.

#include "settings/Settings.h"

#include "settings/SettingsFile.h"

namespace {

constexpr std::uint64_t kSaveGapMs = 1000;

}  // namespace

std::uint64_t systemClock()
{
    return GetTickCount64();
}

Settings::Settings() : Settings(settingsPathsFor(executablePath(), systemSettingsFiles()), systemClock) {}

Settings::Settings(const std::wstring& path, SettingsClock clock, const SettingsFileFunctions& files)
    : Settings(SettingsPaths{path, path}, clock, files)
{
}

Settings::Settings(const SettingsPaths& paths, SettingsClock clock, const SettingsFileFunctions& files)
    : settingsPath(paths.save), clock_(clock), files_(&files)
{
    load(paths.load);
}

Settings::~Settings()
{
    // The exit save ignores the throttle so that a last-second drag is kept.
    saveNow();
}

void Settings::saveIfDue()
{
    if (!settingsDirty)
        return;
    // More than one second since the last write attempt, not at least one.
    const std::uint64_t now = clock_();
    if (now <= lastSaveTime + kSaveGapMs)
        return;
    save(now, ReplaceWait::None);
}

void Settings::saveNow()
{
    if (!settingsDirty)
        return;
    save(clock_(), ReplaceWait::AboutASecond);
}

void Settings::setPollingFrequency(std::int32_t frequency)
{
    if (frequency == pollingFrequency)
        return;
    pollingFrequency = frequency;
    settingsDirty = true;
}

void Settings::setPosition(std::int32_t x, std::int32_t y)
{
    if (x == windowX && y == windowY)
        return;
    windowX = x;
    windowY = y;
    settingsDirty = true;
}

void Settings::load(const std::wstring& path)
{
    // Only where saves go: a folder plix cannot write is left as it is.
    removeLeftoverTemporaryFile(settingsPath, *files_);

    const LoadedSettings loaded = settingsToRunOn(readSettingsFile(path, *files_));
    pollingFrequency = loaded.values.pollingFrequency;
    windowX = loaded.values.windowX;
    windowY = loaded.values.windowY;
    settingsDirty = loaded.dirty;
    lastSaveTime = clock_();
}

void Settings::save(std::uint64_t now, ReplaceWait wait)
{
    lastSaveTime = now;
    if (writeSettingsFile(settingsPath, {pollingFrequency, windowX, windowY}, *files_, wait))
        settingsDirty = false;
}
