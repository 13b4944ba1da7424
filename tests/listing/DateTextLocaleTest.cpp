// The date text in the user's own formats, in the locale that the test's
// ctest entry pins with LC_ALL (one entry per locale, same program). The
// assertions are on the structure that the locale gives (the order of day,
// month and year and their separator, the 12- or 24-hour clock, the blank
// between date and time, the hint in parentheses), with the numbers of the
// entry's local time; not on strings copied from the code.
//
// Under Wine, en_US.UTF-8 gives 12/8/2026 4:40 PM and de_DE.UTF-8 gives
// 8.12.2026 16:40 (Wine 8). On the host the C library's locale gives
// 12/08/2026 04:40 PM for en_US and 08.12.2026 16:40 for de_DE where those
// locales are installed, and the C locale's 12/08/26 16:40 where they are not
// (and for C.UTF-8).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "listing/DayCount.h"
#include "listing/FolderListing.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#endif

namespace tessaly {
namespace {

enum class DateOrder { MonthDayYear, DayMonthYear };

// What a locale's short date and time look like.
struct Style {
    const char* name;
    wchar_t dateSeparator;
    DateOrder order;
    int yearDigits;
    bool twelveHour;  // "h:mm AM" rather than "H:mm"
};

const Style kUnitedStates{"en-US", L'/', DateOrder::MonthDayYear, 4, true};
const Style kGerman{"de-DE", L'.', DateOrder::DayMonthYear, 4, false};
const Style kC{"C", L'/', DateOrder::MonthDayYear, 2, false};

std::string PinnedLocale() {
    const char* value = std::getenv("LC_ALL");
    return value != nullptr ? value : "";
}

// The style the pinned locale must give on this platform.
const Style& ExpectedStyle() {
    const std::string pinned = PinnedLocale();
#ifndef _WIN32
    // The host takes the C locale when the named one is not installed.
    const locale_t installed = newlocale(LC_ALL_MASK, pinned.c_str(), static_cast<locale_t>(0));
    if (installed == static_cast<locale_t>(0)) return kC;
    freelocale(installed);
#endif
    if (pinned.rfind("en_US", 0) == 0) return kUnitedStates;
    if (pinned.rfind("de_DE", 0) == 0) return kGerman;
    return kC;
}

// Reads digits at position i; their count goes to digits.
bool Number(const std::wstring& text, size_t& i, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        value = value * 10 + (text[i++] - L'0');
        ++digits;
    }
    return digits > 0;
}

// Checks "<date> <time>[ (<hint>)]" against the style and the local time.
void CheckDateText(const std::wstring& text, const SystemTime& local, const wchar_t* hint, const Style& style) {
    SCOPED_TRACE(::testing::PrintToString(text) + " in " + style.name);
    for (wchar_t c : text) ASSERT_GE(c, 0x20) << "no control characters";

    // The date: three numbers with the locale's separator between them.
    size_t i = 0;
    int numbers[3] = {}, digits[3] = {};
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(Number(text, i, numbers[n], digits[n])) << "number " << n << " of the date";
        if (n < 2) {
            ASSERT_LT(i, text.size());
            ASSERT_EQ(text[i++], style.dateSeparator);
        }
    }
    const int month = style.order == DateOrder::MonthDayYear ? numbers[0] : numbers[1];
    const int day = style.order == DateOrder::MonthDayYear ? numbers[1] : numbers[0];
    EXPECT_EQ(month, local.Month);
    EXPECT_EQ(day, local.Day);
    EXPECT_EQ(digits[2], style.yearDigits);
    EXPECT_EQ(numbers[2], style.yearDigits == 4 ? local.Year : local.Year % 100);
    EXPECT_LE(digits[0], 2);
    EXPECT_LE(digits[1], 2);

    // One blank, then the time: hours, colon, two-digit minutes, no seconds.
    ASSERT_LT(i, text.size());
    ASSERT_EQ(text[i++], L' ');
    int hour = 0, minute = 0, hourDigits = 0, minuteDigits = 0;
    ASSERT_TRUE(Number(text, i, hour, hourDigits));
    ASSERT_LT(i, text.size());
    ASSERT_EQ(text[i++], L':');
    ASSERT_TRUE(Number(text, i, minute, minuteDigits));
    EXPECT_LE(hourDigits, 2);
    EXPECT_EQ(minuteDigits, 2);
    EXPECT_EQ(minute, local.Minute);
    if (style.twelveHour) {
        ASSERT_LT(i, text.size());
        ASSERT_EQ(text[i++], L' ');
        const std::wstring marker = text.substr(i, 2);
        i += 2;
        EXPECT_EQ(marker, local.Hour < 12 ? L"AM" : L"PM");
        EXPECT_EQ(hour, local.Hour % 12 == 0 ? 12 : local.Hour % 12);
    } else {
        EXPECT_EQ(hour, local.Hour);
    }

    // Then the hint in parentheses, or nothing.
    const std::wstring rest = text.substr(std::min(i, text.size()));
    EXPECT_EQ(rest, *hint == L'\0' ? std::wstring() : std::wstring(L" (") + hint + L")");
}

class DateTextLocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(PinnedLocale().empty()) << "the ctest entry pins LC_ALL";
        testing::g_pinnedNow = testing::UtcCount(2026, 12, 9, 13, 0);  // Wednesday, 14:00 in Berlin
    }
    void AddFile(const std::wstring& name, FileTimeCount written) {
        folder.MakeFile(name);
        folder.SetTimes(name, written, written);
    }
    void Scan(bool hints) {
        listing.SetFolder(folder.Path());
        listing.Scan(FileTimeKind::Modified, hints, true);
    }

    testing::TempFolder folder;
    FolderListing listing{testing::PinnedClock};
};

#ifdef _WIN32
TEST_F(DateTextLocaleTest, TheUserLocaleIsThePinnedOne) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
    ASSERT_GT(GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
    const Style& style = ExpectedStyle();
    if (&style != &kC) {
        const std::string expected = style.name;
        EXPECT_EQ(std::wstring(name), std::wstring(expected.begin(), expected.end()));
    }
}
#endif

TEST_F(DateTextLocaleTest, WithAndWithoutAHint) {
    const Style& style = ExpectedStyle();
#ifdef _WIN32
    ASSERT_NE(&style, &kC) << "the Windows entries pin en_US or de_DE; LC_ALL=" << PinnedLocale();
#endif
    AddFile(L"yesterday", testing::UtcCount(2026, 12, 8, 15, 40));  // 16:40 local
    AddFile(L"morning", testing::UtcCount(2026, 1, 3, 8, 5));       // 09:05 local
    AddFile(L"midnight", testing::UtcCount(2026, 12, 8, 23, 0));    // 00:00 today
    struct Expected {
        const wchar_t* name;
        const wchar_t* hint;
    };
    const Expected expected[] = {{L"yesterday", L"Yesterday"}, {L"morning", L"This year"}, {L"midnight", L"Today"}};
    for (bool hints : {true, false}) {
        Scan(hints);
        for (const Expected& e : expected) {
            const FileEntry& entry = testing::EntryNamed(listing, e.name);
            CheckDateText(entry.DateText(), entry.LocalTime, hints ? e.hint : L"", style);
        }
    }
}

TEST_F(DateTextLocaleTest, UnreadableEntryHasNoDateAndThePlatformsMidnight) {
    folder.MakeUnopenableFile(L"broken.");
    Scan(true);
    ASSERT_EQ(listing.Files().size(), 1u);
    const FileEntry& entry = listing.Files().front();
    ASSERT_EQ(entry.DaysAgo, kUnknownDaysAgo);
    const std::wstring text = entry.DateText();
    SCOPED_TRACE(::testing::PrintToString(text));
    // No date, the blank, then the time that the platform makes of the
    // all-zero fields: midnight in the locale's clock.
    ASSERT_GE(text.size(), 1u);
    EXPECT_EQ(text[0], L' ');
    const std::wstring time = text.substr(1);
    if (time.empty()) return;  // a platform that refuses the time too
    const Style& style = ExpectedStyle();
    if (style.twelveHour) {
        EXPECT_EQ(time.substr(time.size() - 3), L" AM");
        EXPECT_EQ(time.substr(0, time.find(L':')), L"12");
    } else {
        EXPECT_EQ(std::stoi(time.substr(0, time.find(L':'))), 0);
    }
    EXPECT_EQ(time.substr(time.find(L':') + 1, 2), L"00");
    for (wchar_t c : time) EXPECT_TRUE(c == L' ' || c == L':' || (c >= L'0' && c <= L'9') || std::iswalpha(c));
}

}  // namespace
}  // namespace tessaly
