// The folder scan against the real file system (the host's, or Windows' under
// Wine). The program runs with TZ=Europe/Berlin.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "diagnostics/ErrorText.h"
#include "listing/DayCount.h"
#include "listing/FolderListing.h"
#include "platform/Clock.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/DebugCapture.h"
#include "tests/support/ProcessThreads.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

using testing::UtcCount;

using testing::g_pinnedNow;
using testing::Names;
using testing::PinnedClock;

[[maybe_unused]] const FileEntry* Find(const FolderListing& listing, const std::wstring& name) {
    for (const FileEntry& entry : listing.Files())
        if (entry.Name() == name) return &entry;
    return nullptr;
}

class FolderScanTest : public ::testing::Test {
protected:
    void SetUp() override { g_pinnedNow = UtcCount(2026, 12, 9, 13, 0); }  // 14:00 in Berlin

    void AddFile(const std::wstring& name, FileTimeCount access, FileTimeCount write) {
        folder.MakeFile(name);
        folder.SetTimes(name, access, write);
    }

    testing::TempFolder folder;
    FolderListing listing{PinnedClock};
};

TEST_F(FolderScanTest, ListsFilesButNoFoldersAndNoDotEntries) {
    const FileTimeCount t = UtcCount(2026, 12, 1, 10, 0);
    AddFile(L"a.txt", t, t);
    AddFile(L"b.txt", t, t);
    folder.MakeFolder(L"sub");
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    std::vector<std::wstring> names = Names(listing);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.txt", L"b.txt"}));
}

TEST_F(FolderScanTest, FolderOfOnlySubfoldersGivesNoEntries) {
    folder.MakeFolder(L"one");
    folder.MakeFolder(L"two");
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Accessed, true, true);
    EXPECT_TRUE(listing.Files().empty());
}

TEST_F(FolderScanTest, EmptyOrMissingFolderGivesNoEntriesAndNoMessage) {
    testing::DebugCapture capture;
    listing.Scan(FileTimeKind::Accessed, true, true);
    EXPECT_TRUE(listing.Files().empty());
    listing.SetFolder(folder.PathOf(L"gone"));
    listing.Scan(FileTimeKind::Accessed, true, true);
    EXPECT_TRUE(listing.Files().empty());
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(FolderScanTest, PathIsFolderPlusOneBackslashPlusName) {
    const FileTimeCount t = UtcCount(2026, 12, 1, 10, 0);
    AddFile(L"f.txt", t, t);
    struct Case {
        std::wstring folder, expectedPath;
    };
    const Case cases[] = {
        {folder.Path(), folder.Path() + L"\\f.txt"},
        {folder.Path() + L"\\", folder.Path() + L"\\f.txt"},  // no doubled backslash
        {folder.Path() + L"/", folder.Path() + L"/\\f.txt"},  // a slash is not a backslash
    };
    for (const Case& c : cases) {
        listing.SetFolder(c.folder);
        listing.Scan(FileTimeKind::Modified, false, true);
        ASSERT_EQ(listing.Files().size(), 1u);
        EXPECT_EQ(listing.Files().front().Path(), c.expectedPath);
        EXPECT_NE(listing.Files().front().SortTime, 0u) << "the path must reach the file";
    }
}

#ifdef _WIN32
TEST_F(FolderScanTest, DriveRootPathsHaveNoDoubledBackslash) {
    const std::wstring name = L"tessaly-root-test.txt";
    const std::wstring root = L"C:\\";
    {
        FILE* file = _wfopen((root + name).c_str(), L"w");
        ASSERT_NE(file, nullptr);
        fclose(file);
    }
    listing.SetFolder(root);
    listing.Scan(FileTimeKind::Modified, false, true);
    const FileEntry* entry = Find(listing, name);
    _wremove((root + name).c_str());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Path(), root + name);
}

TEST_F(FolderScanTest, HiddenAndSystemFilesAreListed) {
    const FileTimeCount t = UtcCount(2026, 12, 1, 10, 0);
    AddFile(L"hidden.sys", t, t);
    folder.MakeHiddenSystem(L"hidden.sys");
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    EXPECT_EQ(Names(listing), std::vector<std::wstring>{L"hidden.sys"});
}
#else
TEST_F(FolderScanTest, DotFilesAreListed) {
    const FileTimeCount t = UtcCount(2026, 12, 1, 10, 0);
    AddFile(L".hidden", t, t);
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    EXPECT_EQ(Names(listing), std::vector<std::wstring>{L".hidden"});
}
#endif

TEST_F(FolderScanTest, UnopenableFileIsListedLastWithZeroTimesAndOneMessage) {
    const FileTimeCount old = UtcCount(1990, 1, 1, 10, 0);
    AddFile(L"ancient.txt", old, old);
    folder.MakeUnopenableFile(L"100%s broken.");

    testing::DebugCapture capture;
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Accessed, true, true);

    ASSERT_EQ(Names(listing), (std::vector<std::wstring>{L"ancient.txt", L"100%s broken."}));
    const FileEntry& broken = listing.Files().back();
    EXPECT_EQ(broken.SortTime, 0u);
    EXPECT_EQ(broken.LocalTime.Year, 0);
    EXPECT_EQ(broken.LocalTime.Day, 0);
    EXPECT_EQ(broken.Hint, TimeHint::None);
    EXPECT_EQ(broken.DaysAgo, kUnknownDaysAgo);

    const std::wstring path = folder.Path() + L"\\100%s broken.";
    const std::wstring expected =
        L"Tessaly: CreateFile failed for file \"" + path + L"\" (" + FormatSystemError(L"", 2) + L")";
    EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{expected});
}

TEST_F(FolderScanTest, EachKindTakesItsOwnTime) {
    // Access in winter (UTC+1), write in summer (UTC+2).
    AddFile(L"f.txt", UtcCount(2026, 3, 1, 10, 0, 7, 125), UtcCount(2026, 6, 1, 10, 30, 9, 500));
    listing.SetFolder(folder.Path());

    listing.Scan(FileTimeKind::Accessed, false, true);
    ASSERT_EQ(listing.Files().size(), 1u);
    const SystemTime accessed = listing.Files().front().LocalTime;
    EXPECT_EQ(accessed.Month, 3);
    EXPECT_EQ(accessed.Hour, 11);
    EXPECT_EQ(accessed.Second, 7);
    EXPECT_EQ(accessed.Milliseconds, 125);
    EXPECT_EQ(listing.Files().front().SortTime, UtcCount(2026, 3, 1, 11, 0, 7, 125));

    listing.Scan(FileTimeKind::Modified, false, true);
    ASSERT_EQ(listing.Files().size(), 1u);
    const SystemTime modified = listing.Files().front().LocalTime;
    EXPECT_EQ(modified.Month, 6);
    EXPECT_EQ(modified.Hour, 12);
    EXPECT_EQ(modified.Minute, 30);
    EXPECT_EQ(listing.Files().front().SortTime, UtcCount(2026, 6, 1, 12, 30, 9, 500));
}

TEST_F(FolderScanTest, TimesWithinOneMillisecondGiveEqualSortTimes) {
    const FileTimeCount t = UtcCount(2026, 12, 8, 9, 15, 0, 42);
    AddFile(L"a.txt", t + 1'000, t + 1'000);  // 0.1 ms later
    AddFile(L"b.txt", t + 9'000, t + 9'000);  // 0.9 ms later
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    ASSERT_EQ(listing.Files().size(), 2u);
    EXPECT_EQ(listing.Files().front().SortTime, listing.Files().back().SortTime);
    EXPECT_EQ(listing.Files().front().SortTime % kTicksPerMillisecond, 0u);
}

TEST_F(FolderScanTest, DaysAgoCountsLocalCalendarDays) {
    struct Case {
        const wchar_t* name;
        FileTimeCount written, now;
        std::int32_t expected;
    };
    const Case cases[] = {
        {L"future", UtcCount(2026, 12, 11, 9, 0), UtcCount(2026, 12, 9, 13, 0), -2},
        // 23:30 summer time on 24 October, seen at 00:30 winter time on 26 October:
        // 25 hours of UTC difference, but two calendar days.
        {L"autumn", UtcCount(2026, 10, 24, 21, 30), UtcCount(2026, 10, 25, 23, 30), 2},
        // 23:30 winter time on 28 March, seen at 00:30 summer time on 30 March: 23 hours, two days.
        {L"spring", UtcCount(2026, 3, 28, 22, 30), UtcCount(2026, 3, 29, 22, 30), 2},
    };
    for (const Case& c : cases) {
        testing::TempFolder one;
        one.MakeFile(c.name);
        one.SetTimes(c.name, c.written, c.written);
        g_pinnedNow = c.now;
        FolderListing scan(PinnedClock);
        scan.SetFolder(one.Path());
        scan.Scan(FileTimeKind::Modified, false, true);
        ASSERT_EQ(scan.Files().size(), 1u);
        EXPECT_EQ(scan.Files().front().DaysAgo, c.expected) << c.name;
    }
}

TEST_F(FolderScanTest, HintsOnlyWhenAskedFor) {
    const FileTimeCount yesterday = UtcCount(2026, 12, 8, 9, 0);
    AddFile(L"y.txt", yesterday, yesterday);
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, false, true);
    EXPECT_EQ(listing.Files().front().Hint, TimeHint::None);
    EXPECT_EQ(listing.Files().front().DaysAgo, 1);
    listing.Scan(FileTimeKind::Modified, true, true);
    EXPECT_EQ(listing.Files().front().Hint, TimeHint::Yesterday);
}

TEST_F(FolderScanTest, EveryScanReplacesTheEntriesAndClearEmptiesAll) {
    const FileTimeCount t = UtcCount(2026, 12, 1, 10, 0);
    AddFile(L"a.txt", t, t);
    AddFile(L"b.txt", t, t);
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Accessed, false, true);
    listing.Scan(FileTimeKind::Modified, false, true);
    EXPECT_EQ(listing.Files().size(), 2u);
    listing.Clear();
    EXPECT_TRUE(listing.Files().empty());
    EXPECT_TRUE(listing.Folder().empty());
}

// One folder, scanned one file after another, with several opens at once,
// and as the product scans (measured), by each kind of time, the second kind
// also from the first scan's opens as a menu's second list takes it: every
// way gives the same entries in the same order with the same times, hints
// and day counts, and the same debug lines in the same order. No scan leaves
// a thread behind.
struct ScanRow {
    const char* name;
    void (*make)(testing::TempFolder& folder);
    std::size_t unreadable;  // entries without times, each with its one line
    void (*check)(const FolderListing& listing) = nullptr;
    bool needsLinksSeen = false;  // a row that Wine cannot show
};

void PrintTo(const ScanRow& row, std::ostream* out) { *out << row.name; }

struct Scanned {
    std::vector<std::wstring> entries, lines;
};

std::wstring Describe(const FileEntry& e) {
    const SystemTime& t = e.LocalTime;
    std::wstring text = e.Path() + L"|" + std::wstring(e.Name());
    for (const unsigned field : {t.Year, t.Month, t.DayOfWeek, t.Day, t.Hour, t.Minute, t.Second, t.Milliseconds})
        text += L" " + std::to_wstring(field);
    return text + L"|" + std::to_wstring(e.SortTime) + L"|" + std::to_wstring(static_cast<int>(e.Hint)) + L"|" +
           std::to_wstring(e.DaysAgo);
}

Scanned Take(const FolderListing& listing, const testing::DebugCapture& capture) {
    Scanned scanned{{}, capture.Lines()};
    for (const FileEntry& entry : listing.Files()) scanned.entries.push_back(Describe(entry));
    return scanned;
}

// Files with spread times: the time order is neither the names' nor the enumeration's.
void MakeSpread(testing::TempFolder& folder, int count, int unopenableEvery) {
    for (int i = 0; i < count; ++i) {
        const bool unopenable = (i + 1) % unopenableEvery == 0;
        const std::wstring name = L"f" + std::to_wstring(i * 37 % count) + (unopenable ? L"." : L"");
        if (unopenable) {
            folder.MakeUnopenableFile(name);
            continue;
        }
        folder.MakeFile(name);
        folder.SetTimes(name, UtcCount(2026, 1 + i % 12, 1 + i % 28, i % 24, 0), UtcCount(2026, 12, 1 + i % 9, 10, i % 3));
    }
}

const ScanRow kScanRows[] = {
    {"empty", [](testing::TempFolder&) {}, 0},
    {"one file", [](testing::TempFolder& f) { MakeSpread(f, 1, 2); }, 0},
    {"files that cannot be opened (as when gone by their open) among others",
     [](testing::TempFolder& f) { MakeSpread(f, 70, 7); }, 10},
    {"names of every kind, some of equal times",
     [](testing::TempFolder& f) {
         const FileTimeCount t = UtcCount(2026, 12, 8, 9, 0);
         for (const wchar_t* name : {L"plain.txt", L"with space", L"100%s %n", L"R&D", L".leading", L"Gr\u00FC\u00DFe",
                                     L"\u65E5\u672C\u8A9E.txt", L"\u2615 break", L"a;b,c[1]", L"x\U0001F389y"}) {
             f.MakeFile(name);
             f.SetTimes(name, t, t);
         }
         const std::wstring longName(180, L'n');
         f.MakeFile(longName);
         f.SetTimes(longName, t + kTicksPerSecond, t);
     },
     0},
    {"a link to a local file gives that file's times",
     [](testing::TempFolder& f) {
         f.MakeFile(L"target.txt");
         f.MakeLink(L"link.txt", L"target.txt");
         f.SetTimes(L"target.txt", UtcCount(2026, 3, 1, 10, 0, 7, 125), UtcCount(2026, 6, 1, 10, 30, 9, 500));
     },
     0,
     [](const FolderListing& listing) {
         ASSERT_EQ(listing.Files().size(), 2u);
         EXPECT_EQ(listing.Files().front().SortTime, listing.Files().back().SortTime);
     }},
    // Opened as itself, the link gives its own times: no open reaches the
    // server, and no open fails (the server does not exist).
    {"a link to another machine gives its own times",
     [](testing::TempFolder& f) { f.MakeLink(L"remote.txt", L"\\\\tessaly-no-server\\share\\file.txt"); }, 0,
     [](const FolderListing& listing) {
         ASSERT_EQ(listing.Files().size(), 1u);
         EXPECT_NE(listing.Files().front().SortTime, 0u);
     },
     true},
};

class ScanWaysTest : public FolderScanTest, public ::testing::WithParamInterface<ScanRow> {};

TEST_P(ScanWaysTest, GiveTheSameListsAndLines) {
    const ScanRow& row = GetParam();
#ifdef _WIN32
    // Wine follows a Linux link whatever it leads to, and shows no link as
    // such: the Windows side of this row is on the tester's checklist.
    if (row.needsLinksSeen && ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "Wine shows no links";
#endif
    row.make(folder);
    // The first look at a link may set its own access time (relatime on the
    // host reads the link's text), and a runtime may start a helper thread
    // of its own with the first thread (ThreadSanitizer's): every compared
    // scan, and the thread count, come after a first parallel scan.
    FolderListing first(PinnedClock, ScanOpens::Parallel);
    first.SetFolder(folder.Path());
    first.Scan(FileTimeKind::Accessed, false, true);
    const int threads = testing::ProcessThreadCount();
    std::vector<Scanned> ways;
    for (const ScanOpens opens : {ScanOpens::Serial, ScanOpens::Parallel, ScanOpens::Measured}) {
        FolderListing scan(PinnedClock, opens);
        scan.SetFolder(folder.Path());
        for (const FileTimeKind kind : {FileTimeKind::Accessed, FileTimeKind::Modified}) {
            testing::DebugCapture capture;
            scan.Scan(kind, true, kind == FileTimeKind::Accessed);
            ways.push_back(Take(scan, capture));
            if (row.check != nullptr) row.check(scan);
            const FileTimeKind other = kind == FileTimeKind::Accessed ? FileTimeKind::Modified : FileTimeKind::Accessed;
            scan.Restamp(other, true, other == FileTimeKind::Accessed);
            ways.push_back(Take(scan, capture));
        }
        EXPECT_EQ(testing::ProcessThreadCount(), threads) << "a thread outlived the scan";
    }
    // Serial: Accessed, then Modified from its opens; Modified, then Accessed.
    ASSERT_EQ(ways[0].lines.size(), row.unreadable);
    EXPECT_EQ(ways[1].lines, ways[0].lines) << "the second list opens nothing";
    const auto unread = [](const std::wstring& e) { return e.find(L" 0 0 0 0 0 0 0 0|0|") != std::wstring::npos; };
    EXPECT_EQ(static_cast<std::size_t>(std::count_if(ways[0].entries.begin(), ways[0].entries.end(), unread)),
              row.unreadable);
    EXPECT_EQ(ways[1].entries, ways[2].entries) << "restamped as scanned";
    EXPECT_EQ(ways[3].entries, ways[0].entries) << "restamped as scanned";
    for (std::size_t way = 4; way < ways.size(); ++way) {
        EXPECT_EQ(ways[way].entries, ways[way % 4].entries) << way;
        EXPECT_EQ(ways[way].lines, ways[way % 4].lines) << way;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ScanWaysTest, ::testing::ValuesIn(kScanRows),
                         [](const ::testing::TestParamInfo<ScanRow>& row) { return "row" + std::to_string(row.index); });

}  // namespace
}  // namespace tessaly
