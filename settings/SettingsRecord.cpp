// The settings record: the 20 bytes, the repair of what a load found, and
// the settings path rules.

#include "settings/SettingsRecord.h"

namespace {

constexpr wchar_t kFallbackSettingsPath[] = L"c:\\plix.cfg";
constexpr wchar_t kSettingsFileName[] = L"\\plix.cfg";
constexpr wchar_t kTemporarySuffix[] = L".tmp";
constexpr wchar_t kPerUserSettingsFile[] = L"plix\\plix.cfg";

void putWord(unsigned char* bytes, std::uint32_t word)
{
    for (std::size_t i = 0; i < kSettingsWordSize; ++i)
        bytes[i] = static_cast<unsigned char>(word >> (8 * i));
}

std::uint32_t getWord(const unsigned char* bytes)
{
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < kSettingsWordSize; ++i)
        word |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return word;
}

}  // namespace

std::array<unsigned char, kSettingsFileSize> encodeSettings(const StoredSettings& stored)
{
    std::array<unsigned char, kSettingsFileSize> bytes{};
    putWord(&bytes[0], kSettingsMagic);
    putWord(&bytes[4], kSettingsVersion);
    putWord(&bytes[8], static_cast<std::uint32_t>(stored.pollingFrequency));
    putWord(&bytes[12], static_cast<std::uint32_t>(stored.windowX));
    putWord(&bytes[16], static_cast<std::uint32_t>(stored.windowY));
    return bytes;
}

std::optional<StoredSettings> decodeSettings(const unsigned char* bytes, std::size_t size)
{
    if (size < kSettingsFileSize || getWord(&bytes[0]) != kSettingsMagic ||
        getWord(&bytes[4]) != kSettingsVersion)
        return std::nullopt;
    return StoredSettings{
        static_cast<std::int32_t>(getWord(&bytes[8])),
        static_cast<std::int32_t>(getWord(&bytes[12])),
        static_cast<std::int32_t>(getWord(&bytes[16])),
    };
}

SettingsFileContents settingsFileContents(const unsigned char* bytes, std::size_t size, bool readFailed)
{
    if (readFailed)
        return {SettingsFileState::Unreadable, kDefaultSettings};
    if (const std::optional<StoredSettings> stored = decodeSettings(bytes, size))
        return {SettingsFileState::Valid, *stored};
    return {SettingsFileState::Replaceable, kDefaultSettings};
}

LoadedSettings settingsToRunOn(const SettingsFileContents& contents)
{
    switch (contents.state) {
    case SettingsFileState::Valid: {
        LoadedSettings loaded{contents.stored, false};
        // The timer period divides by the frequency, so a stored zero (or any
        // value the Config dialog would refuse) must not get through.
        if (!isValidPollingFrequency(loaded.values.pollingFrequency)) {
            loaded.values.pollingFrequency = kDefaultPollingFrequency;
            loaded.dirty = true;
        }
        return loaded;
    }
    case SettingsFileState::Unreadable:
        return {kDefaultSettings, false};
    case SettingsFileState::Replaceable:
        break;
    }
    return {kDefaultSettings, true};
}

std::wstring settingsPathFor(const std::wstring& executablePath)
{
    const std::size_t backslash = executablePath.rfind(L'\\');
    if (backslash == std::wstring::npos)
        return kFallbackSettingsPath;
    return executablePath.substr(0, backslash) + kSettingsFileName;
}

std::wstring temporaryPathFor(const std::wstring& settingsPath)
{
    return settingsPath + kTemporarySuffix;
}

std::wstring folderOf(const std::wstring& settingsPath)
{
    return settingsPath.substr(0, settingsPath.rfind(L'\\'));
}

std::wstring perUserSettingsPathFor(const std::wstring& localAppDataFolder)
{
    if (localAppDataFolder.empty())
        return std::wstring();
    // LOCALAPPDATA may be set by hand, with a backslash at its end.
    const bool endsInBackslash = localAppDataFolder.back() == L'\\';
    return localAppDataFolder + (endsInBackslash ? L"" : L"\\") + kPerUserSettingsFile;
}

SettingsPaths chooseSettingsPaths(const std::wstring& besideExecutable, bool folderWritable,
                                  const std::wstring& perUser, bool perUserExists)
{
    if (folderWritable || perUser.empty())
        return {besideExecutable, besideExecutable};
    return {perUserExists ? perUser : besideExecutable, perUser};
}
