// The Settings page's rules over the six values: what the page shows for
// what is stored, where the sliders stand, what OK writes back, and the
// at-least-one-list rule. The sheet tests under Wine drive the same rules
// through the real controls.
#include <gtest/gtest.h>

#include <memory>

#include "options/SettingsRules.h"
#include "settings/Settings.h"
#include "tests/platform/registry/RegistryProbe.h"
#include "tests/platform/registry/RegistrySides.h"

namespace tessaly::options {
namespace {

constexpr const wchar_t* kSettingsPath = L"Software\\Quenbridge\\Tessaly";

class SettingsRulesTest : public ::testing::Test {
protected:
    void SetUp() override { NewUser(); }
    void NewUser() { m_registry = testing::NewUserMemoryRegistry(); }

    void Store(const wchar_t* name, std::int32_t value) { ASSERT_TRUE(WriteSetting(*m_registry, name, value)); }
    std::int32_t Stored(const wchar_t* name) {
        const testing::StoredValue stored =
            testing::ReadStored(*m_registry, registry::kCurrentUser, kSettingsPath, name);
        EXPECT_EQ(stored.error, win32::kSuccess) << "missing value";
        EXPECT_EQ(stored.bytes.size(), 4u);
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < stored.bytes.size() && i < 4; ++i) bits |= std::uint32_t{stored.bytes[i]} << (8 * i);
        return static_cast<std::int32_t>(bits);
    }

    std::unique_ptr<registry::MemoryRegistry> m_registry;
};

// A number as stored, as the page shows it, where the count's slider stands
// (the highlight slider shows the days themselves), and what OK writes back
// when the slider is not touched.
struct NumberCase {
    const wchar_t* name;
    std::int32_t stored;
    std::int32_t shown;
    int position = 0;
};

TEST_F(SettingsRulesTest, NumbersOutsideThePageRangesShowAndWriteAsDefaults) {
    const NumberCase cases[] = {
        {setting::kFileCount, 30, 10, 2},     {setting::kFileCount, 4, 10, 2},
        {setting::kFileCount, 0, 10, 2},      {setting::kFileCount, -5, 10, 2},
        {setting::kFileCount, 12, 12, 2},     {setting::kFileCount, 5, 5, 1},
        {setting::kFileCount, 25, 25, 5},     {setting::kHighlightDays, 31, 3},
        {setting::kHighlightDays, -1, 3},     {setting::kHighlightDays, 0, 0},
        {setting::kHighlightDays, 30, 30},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored " << c.stored);
        NewUser();
        Store(c.name, c.stored);
        const Settings shown = LoadSettings(*m_registry);
        const bool count = c.name == setting::kFileCount;
        EXPECT_EQ(count ? shown.FileCount : shown.HighlightDays, c.shown);
        if (count) {
            EXPECT_EQ(FileCountPosition(shown.FileCount), c.position);
        }
        SaveSettings(*m_registry, shown);
        EXPECT_EQ(Stored(c.name), c.shown);
    }
}

TEST_F(SettingsRulesTest, SwitchesAreWrittenAsZeroOrOne) {
    Store(setting::kShowRecentModified, -1);
    Store(setting::kShowRecentAccessed, 0);
    Store(setting::kShowTimeHint, 2);
    Store(setting::kWeekStart, 7);
    SaveSettings(*m_registry, LoadSettings(*m_registry));
    EXPECT_EQ(Stored(setting::kShowRecentModified), 1);
    EXPECT_EQ(Stored(setting::kShowRecentAccessed), 0);
    EXPECT_EQ(Stored(setting::kShowTimeHint), 1);
    EXPECT_EQ(Stored(setting::kWeekStart), 1) << "any day but Sunday is Monday";
}

TEST_F(SettingsRulesTest, ANewUserSeesTheDefaultsAndOkWritesAllSix) {
    const Settings shown = LoadSettings(*m_registry);
    EXPECT_EQ(shown.ShowRecentModified, 0);
    EXPECT_EQ(shown.ShowRecentAccessed, 1);
    EXPECT_EQ(shown.FileCount, 10);
    EXPECT_EQ(shown.HighlightDays, 3);
    EXPECT_EQ(shown.ShowTimeHint, 1);
    EXPECT_EQ(shown.WeekStart, 0);
    Settings changed = shown;
    changed.FileCount = FileCountFromPosition(3);
    changed.HighlightDays = HighlightDaysFromPosition(7);
    SaveSettings(*m_registry, changed);
    EXPECT_EQ(Stored(setting::kFileCount), 15);
    EXPECT_EQ(Stored(setting::kHighlightDays), 7);
    EXPECT_EQ(Stored(setting::kShowRecentAccessed), 1);
}

// A page that could not read the settings shows the defaults: OK writes what
// the user touched there, even a value set back to what was shown, and
// keeps what is stored of the rest.
TEST_F(SettingsRulesTest, AfterAFailedReadOkWritesWhatTheUserTouched) {
    Store(setting::kFileCount, 20);
    Store(setting::kHighlightDays, 5);
    Store(setting::kShowTimeHint, 0);
    Settings settings = DefaultSettings();
    TouchedSettings touched;
    settings.HighlightDays = HighlightDaysFromPosition(7);
    touched.Touch(&Settings::HighlightDays);
    settings.FileCount = FileCountFromPosition(3);
    settings.FileCount = FileCountFromPosition(FileCountPosition(DefaultSettings().FileCount));
    touched.Touch(&Settings::FileCount);
    SaveTouchedSettings(*m_registry, touched, settings);
    EXPECT_EQ(Stored(setting::kFileCount), 10) << "set back to the default shown";
    EXPECT_EQ(Stored(setting::kHighlightDays), 7);
    EXPECT_EQ(Stored(setting::kShowTimeHint), 0) << "not touched";
}

// The at-least-one-list rule acts on clicks only (the sheet tests click).
TEST_F(SettingsRulesTest, BothListsStoredOffStayOff) {
    Store(setting::kShowRecentModified, 0);
    Store(setting::kShowRecentAccessed, 0);
    const Settings shown = LoadSettings(*m_registry);
    EXPECT_EQ(shown.ShowRecentModified, 0);
    EXPECT_EQ(shown.ShowRecentAccessed, 0);
}

}  // namespace
}  // namespace tessaly::options
