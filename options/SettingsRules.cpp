#include "options/SettingsRules.h"

#include <iterator>

#include "platform/registry/SystemRegistry.h"
#include "settings/Settings.h"

namespace tessaly::options {
namespace {

std::int32_t Switch(std::int32_t value) { return value != 0 ? 1 : 0; }

std::int32_t InRangeOrDefault(std::int32_t value, std::int32_t low, std::int32_t high, const wchar_t* name) {
    return value < low || value > high ? GetDefaultSetting(name) : value;
}

}  // namespace

Settings Normalised(Settings stored) {
    Settings shown = stored;
    shown.ShowRecentModified = Switch(stored.ShowRecentModified);
    shown.ShowRecentAccessed = Switch(stored.ShowRecentAccessed);
    shown.ShowTimeHint = Switch(stored.ShowTimeHint);
    shown.WeekStart = Switch(stored.WeekStart);
    shown.FileCount = InRangeOrDefault(stored.FileCount, slider::kFileCountMin * slider::kFileCountStep,
                                       slider::kFileCountMax * slider::kFileCountStep, setting::kFileCount);
    shown.HighlightDays = InRangeOrDefault(stored.HighlightDays, slider::kHighlightDaysMin,
                                           slider::kHighlightDaysMax, setting::kHighlightDays);
    return shown;
}

namespace {

// The six in the order they are read and written.
struct Field {
    const wchar_t* name;
    std::int32_t Settings::*value;
};
constexpr Field kFields[] = {
    {setting::kShowRecentModified, &Settings::ShowRecentModified},
    {setting::kShowRecentAccessed, &Settings::ShowRecentAccessed},
    {setting::kFileCount, &Settings::FileCount},
    {setting::kHighlightDays, &Settings::HighlightDays},
    {setting::kShowTimeHint, &Settings::ShowTimeHint},
    {setting::kWeekStart, &Settings::WeekStart},
};

}  // namespace

Settings LoadSettings(registry::Registry& registry) {
    Settings stored;
    for (const Field& field : kFields) stored.*field.value = ReadSetting(registry, field.name);
    return Normalised(stored);
}

Settings LoadSettings() { return LoadSettings(registry::SystemRegistry()); }

Settings DefaultSettings() {
    Settings defaults;
    for (const Field& field : kFields) defaults.*field.value = GetDefaultSetting(field.name);
    return defaults;
}

void SaveSettings(registry::Registry& registry, const Settings& settings) {
    for (const Field& field : kFields) WriteSetting(registry, field.name, settings.*field.value);
}

namespace {
unsigned BitOf(std::int32_t Settings::*value) {
    for (unsigned i = 0; i < std::size(kFields); ++i)
        if (kFields[i].value == value) return 1u << i;
    return 0;
}
}  // namespace

void TouchedSettings::Touch(std::int32_t Settings::*value) { m_bits |= BitOf(value); }

bool TouchedSettings::Touched(std::int32_t Settings::*value) const { return (m_bits & BitOf(value)) != 0; }

void SaveTouchedSettings(registry::Registry& registry, const TouchedSettings& touched, const Settings& settings) {
    for (const Field& field : kFields)
        if (touched.Touched(field.value)) WriteSetting(registry, field.name, settings.*field.value);
}

void SaveTouchedSettings(const TouchedSettings& touched, const Settings& settings) {
    SaveTouchedSettings(registry::SystemRegistry(), touched, settings);
}

void SaveSettings(const Settings& settings) { SaveSettings(registry::SystemRegistry(), settings); }

int FileCountPosition(std::int32_t fileCount) { return fileCount / slider::kFileCountStep; }

std::int32_t FileCountFromPosition(int position) { return position * slider::kFileCountStep; }

int HighlightDaysPosition(std::int32_t highlightDays) { return highlightDays; }

std::int32_t HighlightDaysFromPosition(int position) { return position; }

bool AccessedClicked(Settings& settings) {
    if (settings.ShowRecentAccessed != 0) return false;
    settings.ShowRecentModified = 1;
    return true;
}

bool ModifiedClicked(Settings& settings) {
    if (settings.ShowRecentModified != 0) return false;
    settings.ShowRecentAccessed = 1;
    return true;
}

bool WeekStartEnabled(const Settings& settings) { return settings.ShowTimeHint == 1; }

}  // namespace tessaly::options
