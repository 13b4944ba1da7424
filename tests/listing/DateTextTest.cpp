// The date text: its composition from the platform's date and time
// with fixed stand-in formatters, the cut at 127 characters, and the real
// formatting of the platform in whatever locale the test runs (the locale
// programs, DateTextLocaleTest.cpp, pin two).
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "listing/DateText.h"
#include "listing/FolderListing.h"
#include "platform/LocaleFormat.h"
#include "platform/SystemErrors.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

using testing::Fields;

// Stand-in formatters with the Win32 conventions. Like GetDateFormatW under
// Wine, a text that does not fit is written as far as it goes, unterminated,
// before the call fails.
struct Stand {
    std::wstring text;
    bool refuse = false;
    std::vector<int> rooms;  // the room of every call
    std::vector<SystemTime> fields;
};
Stand g_date, g_time;

int StandIn(Stand& stand, const SystemTime& fields, wchar_t* buffer, int room) {
    stand.rooms.push_back(room);
    stand.fields.push_back(fields);
    if (stand.refuse) {
        platform::SetLastError(win32::kInvalidParameter);
        return 0;
    }
    const int needed = static_cast<int>(stand.text.size()) + 1;
    if (room == 0) return needed;
    if (needed > room) {
        for (int i = 0; i < room; ++i) buffer[i] = stand.text[static_cast<size_t>(i)];
        platform::SetLastError(win32::kInsufficientBuffer);
        return 0;
    }
    stand.text.copy(buffer, stand.text.size());
    buffer[stand.text.size()] = L'\0';
    return needed;
}
int StandInDate(const SystemTime& f, wchar_t* b, int r) { return StandIn(g_date, f, b, r); }
int StandInTime(const SystemTime& f, wchar_t* b, int r) { return StandIn(g_time, f, b, r); }

class ComposeDateTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_date = Stand();
        g_date.text = L"08.12.2026";
        g_time = Stand();
        g_time.text = L"16:40";
    }
    std::wstring Compose(TimeHint hint) { return ComposeDateText(time, hint, StandInDate, StandInTime); }

    SystemTime time = Fields(2026, 12, 8, 16, 40, 12, 345);
};

TEST_F(ComposeDateTextTest, DateBlankTimeThenTheHintInParentheses) {
    EXPECT_EQ(Compose(TimeHint::Yesterday), L"08.12.2026 16:40 (Yesterday)");
    EXPECT_EQ(Compose(TimeHint::SunPastWeek), L"08.12.2026 16:40 (Sun past week)");
    EXPECT_EQ(Compose(TimeHint::None), L"08.12.2026 16:40");
}

TEST_F(ComposeDateTextTest, ValuesWithoutTextGiveNoParentheses) {
    for (int value : {0, -1, 21, 1000}) EXPECT_EQ(Compose(static_cast<TimeHint>(value)), L"08.12.2026 16:40");
}

TEST_F(ComposeDateTextTest, FormattersGetTheFieldsAndTheRoomLeft) {
    Compose(TimeHint::Today);
    ASSERT_EQ(g_date.rooms, std::vector<int>{128});
    ASSERT_EQ(g_time.rooms, std::vector<int>{128 - 11});  // behind "08.12.2026 "
    for (const SystemTime& f : {g_date.fields[0], g_time.fields[0]}) {
        EXPECT_EQ(f.Year, 2026);
        EXPECT_EQ(f.Day, 8);
        EXPECT_EQ(f.DayOfWeek, time.DayOfWeek);
        EXPECT_EQ(f.Hour, 16);
        EXPECT_EQ(f.Second, 12);
        EXPECT_EQ(f.Milliseconds, 345);
    }
}

TEST_F(ComposeDateTextTest, RefusedPartsAreEmpty) {
    g_date.refuse = true;
    EXPECT_EQ(Compose(TimeHint::None), L" 16:40");
    g_time.refuse = true;
    EXPECT_EQ(Compose(TimeHint::None), L" ");
    g_date.refuse = false;
    EXPECT_EQ(Compose(TimeHint::Today), L"08.12.2026  (Today)");
}

TEST_F(ComposeDateTextTest, LongerTextsAreCutAt127Characters) {
    struct Case {
        size_t dateLength, timeLength;
        TimeHint hint;
    };
    const Case cases[] = {
        {110, 5, TimeHint::None},          // fits: 116
        {110, 5, TimeHint::Yesterday},     // the hint is cut
        {121, 5, TimeHint::None},          // exactly 127
        {125, 10, TimeHint::None},         // the time is cut
        {126, 10, TimeHint::PastMonth},    // only the blank behind the date fits
        {127, 10, TimeHint::PastMonth},    // the date fills the buffer
        {200, 10, TimeHint::Today},        // the date alone is too long
        {20, 180, TimeHint::Today},        // the time alone is too long
    };
    for (const Case& c : cases) {
        g_date.text.clear();
        for (size_t i = 0; i < c.dateLength; ++i) g_date.text.push_back(static_cast<wchar_t>(L'a' + i % 26));
        g_time.text.clear();
        for (size_t i = 0; i < c.timeLength; ++i) g_time.text.push_back(static_cast<wchar_t>(L'0' + i % 10));
        std::wstring whole = g_date.text + L" " + g_time.text;
        if (*HintText(c.hint) != L'\0') whole += std::wstring(L" (") + HintText(c.hint) + L")";
        const std::wstring expected = whole.substr(0, 127);
        const std::wstring text = Compose(c.hint);
        EXPECT_EQ(text, expected) << c.dateLength << " + " << c.timeLength;
        EXPECT_EQ(text.find(L'\0'), std::wstring::npos);
    }
}

TEST_F(ComposeDateTextTest, ATextBeyondAnyRoomIsAnEmptyPart) {
    g_date.text.assign(400, L'x');
    const std::wstring text = Compose(TimeHint::None);
    EXPECT_EQ(text, L" 16:40");
}

// The platform's own formats, in the locale the program runs in.

TEST(LocaleFormatTest, FollowsTheWin32Conventions) {
    const SystemTime fields = Fields(2026, 12, 8, 16, 40, 5);
    for (auto format : {platform::FormatShortDate, platform::FormatTimeWithoutSeconds}) {
        const int needed = format(fields, nullptr, 0);
        ASSERT_GT(needed, 1);
        std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 4, L'#');
        EXPECT_EQ(format(fields, buffer.data(), needed), needed);
        EXPECT_EQ(buffer[static_cast<size_t>(needed) - 1], L'\0');
        EXPECT_EQ(std::wstring(buffer.data()).size(), static_cast<size_t>(needed) - 1);
        platform::SetLastError(0);
        EXPECT_EQ(format(fields, buffer.data(), needed - 1), 0);
        EXPECT_EQ(platform::LastError(), win32::kInsufficientBuffer);
    }
}

TEST(LocaleFormatTest, RefusesInvalidFields) {
    wchar_t buffer[128];
    platform::SetLastError(0);
    EXPECT_EQ(platform::FormatShortDate(SystemTime{}, buffer, 128), 0);
    EXPECT_EQ(platform::LastError(), win32::kInvalidParameter);
    SystemTime badTime = Fields(2026, 12, 8);
    badTime.Hour = 24;
    platform::SetLastError(0);
    EXPECT_EQ(platform::FormatTimeWithoutSeconds(badTime, buffer, 128), 0);
    EXPECT_EQ(platform::LastError(), win32::kInvalidParameter);
    SystemTime badDate = Fields(2026, 2, 28);
    badDate.Day = 30;
    EXPECT_EQ(platform::FormatShortDate(badDate, buffer, 128), 0);
}

TEST(LocaleFormatTest, TheTimeHasNoSecondsAndTheDateNoTime) {
    wchar_t a[128], b[128];
    ASSERT_GT(platform::FormatTimeWithoutSeconds(Fields(2026, 12, 8, 16, 40, 5), a, 128), 0);
    ASSERT_GT(platform::FormatTimeWithoutSeconds(Fields(2026, 12, 8, 16, 40, 59, 999), b, 128), 0);
    EXPECT_EQ(std::wstring(a), std::wstring(b));
    ASSERT_GT(platform::FormatTimeWithoutSeconds(Fields(2026, 12, 8, 16, 41), b, 128), 0);
    EXPECT_NE(std::wstring(a), std::wstring(b));
    ASSERT_GT(platform::FormatShortDate(Fields(2026, 12, 8, 0, 0), a, 128), 0);
    ASSERT_GT(platform::FormatShortDate(Fields(2026, 12, 8, 23, 59), b, 128), 0);
    EXPECT_EQ(std::wstring(a), std::wstring(b));
}

bool Printable(const std::wstring& text) {
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F || c == 0xFFFD) return false;
    return true;
}

class DateTextTest : public ::testing::Test {
protected:
    void SetUp() override { testing::g_pinnedNow = testing::UtcCount(2026, 12, 9, 13, 0); }  // 14:00 local

    void AddFile(const std::wstring& name, FileTimeCount written) {
        folder.MakeFile(name);
        folder.SetTimes(name, written, written);
    }

    testing::TempFolder folder;
    FolderListing listing{testing::PinnedClock};
};

TEST_F(DateTextTest, EntryTextIsThePlatformsDateAndTimeAndTheHint) {
    AddFile(L"yesterday", testing::UtcCount(2026, 12, 8, 15, 40));  // 16:40 local
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, true, true);
    ASSERT_EQ(listing.Files().size(), 1u);
    const FileEntry& entry = listing.Files().front();
    ASSERT_EQ(entry.Hint, TimeHint::Yesterday);

    wchar_t date[128], time[128];
    ASSERT_GT(platform::FormatShortDate(entry.LocalTime, date, 128), 1);
    ASSERT_GT(platform::FormatTimeWithoutSeconds(entry.LocalTime, time, 128), 1);
    EXPECT_EQ(entry.DateText(), std::wstring(date) + L" " + time + L" (Yesterday)");
    EXPECT_TRUE(Printable(entry.DateText())) << ::testing::PrintToString(entry.DateText());

    listing.Scan(FileTimeKind::Modified, false, true);
    EXPECT_EQ(listing.Files().front().DateText(), std::wstring(date) + L" " + time);
}

TEST_F(DateTextTest, WithHintsOffNoTextHasParentheses) {
    const FileTimeCount times[] = {
        testing::UtcCount(2026, 12, 9, 12, 0),  testing::UtcCount(2026, 12, 8, 12, 0),
        testing::UtcCount(2026, 12, 7, 12, 0),  testing::UtcCount(2026, 12, 1, 12, 0),
        testing::UtcCount(2026, 11, 1, 12, 0),  testing::UtcCount(2026, 3, 1, 12, 0),
        testing::UtcCount(2024, 3, 1, 12, 0),   testing::UtcCount(2027, 3, 1, 12, 0),
    };
    int n = 0;
    for (FileTimeCount t : times) AddFile(L"f" + std::to_wstring(n++), t);
    folder.MakeUnopenableFile(L"broken.");
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    ASSERT_EQ(listing.Files().size(), std::size(times) + 1);
    for (const FileEntry& entry : listing.Files())
        EXPECT_EQ(entry.DateText().find(L'('), std::wstring::npos) << ::testing::PrintToString(entry.DateText());
    // With hints on, all but the future, the old (2024) and the broken one have one.
    listing.Scan(FileTimeKind::Modified, true, true);
    int withHint = 0;
    for (const FileEntry& entry : listing.Files())
        if (entry.DateText().find(L" (") != std::wstring::npos) ++withHint;
    EXPECT_EQ(withHint, 6);
}

TEST_F(DateTextTest, UnreadableEntryHasAnEmptyDateAndNoGarbage) {
    folder.MakeUnopenableFile(L"broken.");
    listing.SetFolder(folder.Path());
    for (bool hints : {false, true}) {
        listing.Scan(FileTimeKind::Accessed, hints, true);
        ASSERT_EQ(listing.Files().size(), 1u);
        const std::wstring text = listing.Files().front().DateText();
        // No date; a blank; then the platform's time of 00:00 (or nothing).
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text[0], L' ') << ::testing::PrintToString(text);
        EXPECT_TRUE(Printable(text)) << ::testing::PrintToString(text);
        EXPECT_EQ(text.find(L'('), std::wstring::npos);
        EXPECT_LE(text.size(), 127u);
        wchar_t midnight[128] = L"";
        SystemTime zero{};
        platform::FormatTimeWithoutSeconds(zero, midnight, 128);
        EXPECT_EQ(text, std::wstring(L" ") + midnight);
    }
}

}  // namespace
}  // namespace tessaly
