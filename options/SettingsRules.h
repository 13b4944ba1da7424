#pragma once
// What the Settings page does with the six settings, apart from any window:
// the page shows a record, hands each click here, and shows the result. So
// the rules run and are tested on every side, and the page stays a thin
// binding between controls and this record.
#include <cstdint>

#include "platform/registry/Registry.h"

namespace tessaly::options {

// The six settings as the page holds them, in the order they are read and written.
struct Settings {
    std::int32_t ShowRecentModified = 0;
    std::int32_t ShowRecentAccessed = 0;
    std::int32_t FileCount = 0;
    std::int32_t HighlightDays = 0;
    std::int32_t ShowTimeHint = 0;
    std::int32_t WeekStart = 0;  // 0 = Sunday, 1 = Monday
};

// Slider scales: the count moves in steps of five (positions 1..5 show 5..25
// files); the highlight slider is the number of days itself.
namespace slider {
constexpr int kFileCountStep = 5;
constexpr int kFileCountMin = 1;
constexpr int kFileCountMax = 5;
constexpr int kHighlightDaysMin = 0;
constexpr int kHighlightDaysMax = 30;
constexpr int kHighlightDaysTicks = 5;
}  // namespace slider

// Switches become 0 or 1; a count outside 5..25 or a day span outside 0..30
// becomes its default. A count inside the range is kept as it is, also when
// it is not a multiple of five.
Settings Normalised(Settings stored);

// Reads the six settings in order and normalises them, as the page opens.
Settings LoadSettings(registry::Registry& registry);
Settings LoadSettings();

// Each setting's default: what the store gives for a value it cannot supply,
// and so what the page shows when the settings could not be read.
Settings DefaultSettings();

// Writes all six in order; a refused write does not stop the next one.
void SaveSettings(registry::Registry& registry, const Settings& settings);
void SaveSettings(const Settings& settings);

// The settings the user has touched on the page (a click, a slider moved),
// whether or not the value differs from what the page showed at first.
class TouchedSettings {
public:
    void Touch(std::int32_t Settings::*value);
    bool Touched(std::int32_t Settings::*value) const;

private:
    unsigned m_bits = 0;
};
// Writes, in order, only the values the user touched: when what the page
// showed was not what is stored, what the user left alone stays stored, and
// a value set back to what was shown is written all the same.
void SaveTouchedSettings(registry::Registry& registry, const TouchedSettings& touched, const Settings& settings);
void SaveTouchedSettings(const TouchedSettings& touched, const Settings& settings);

// Slider positions from and to the values. The count's position drops the
// remainder (12 stands at 2), so an untouched slider keeps the stored count.
int FileCountPosition(std::int32_t fileCount);
std::int32_t FileCountFromPosition(int position);
int HighlightDaysPosition(std::int32_t highlightDays);
std::int32_t HighlightDaysFromPosition(int position);

// A click on one list's box never leaves both lists off: when the clicked
// box ends up clear, the other list is switched on. Lists both stored off
// stay off until such a click. True when the other list was switched on.
bool AccessedClicked(Settings& settings);
bool ModifiedClicked(Settings& settings);

// The week-start choice only means something with time hints exactly on.
bool WeekStartEnabled(const Settings& settings);

}  // namespace tessaly::options
