// Newest-first order, on real files (the host's, or Windows' under
// Wine) and on entries whose keys the test sets. The program runs with
// TZ=Europe/Berlin. Ties keep the order of the platform's enumeration, which
// the tests read from the platform itself: it is not alphabetical.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "listing/FolderListing.h"
#include "listing/Ordering.h"
#include "platform/FileSystem.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

using testing::Names;
using testing::UtcCount;

// The folder's files in the order in which the platform enumerates them.
std::vector<std::wstring> EnumerationOrder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    platform::DirectoryEnumeration entries(folder + L"\\*");
    for (bool more = entries.HasEntry(); more; more = entries.Next()) {
        const std::wstring name = entries.Name();
        if (name == L"." || name == L".." || (entries.Attributes() & win32::kFileAttributeDirectory)) continue;
        names.push_back(name);
    }
    return names;
}

class OrderingTest : public ::testing::Test {
protected:
    void SetUp() override { testing::g_pinnedNow = UtcCount(2026, 12, 9, 13, 0); }  // 14:00 local

    void AddFile(const std::wstring& name, FileTimeCount access, FileTimeCount write) {
        folder.MakeFile(name);
        folder.SetTimes(name, access, write);
    }
    std::vector<std::wstring> Scan(FileTimeKind kind) {
        listing.SetFolder(folder.Path());
        listing.Scan(kind, true, true);
        return Names(listing);
    }

    testing::TempFolder folder;
    FolderListing listing{testing::PinnedClock};
};

TEST_F(OrderingTest, NewestFirstByTheScannedKind) {
    // Written 10:00, 12:00, 11:00 of one day; read in the opposite order.
    AddFile(L"ten", UtcCount(2026, 12, 8, 11, 0), UtcCount(2026, 12, 8, 9, 0));
    AddFile(L"twelve", UtcCount(2026, 12, 8, 9, 0), UtcCount(2026, 12, 8, 11, 0));
    AddFile(L"eleven", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 8, 10, 0));
    EXPECT_EQ(Scan(FileTimeKind::Modified), (std::vector<std::wstring>{L"twelve", L"eleven", L"ten"}));
    EXPECT_EQ(Scan(FileTimeKind::Accessed), (std::vector<std::wstring>{L"ten", L"eleven", L"twelve"}));
}

TEST_F(OrderingTest, EqualTimesKeepTheEnumerationOrder) {
    // Three groups of equal times (to the millisecond), interleaved, so that
    // the sort has to move entries past each other.
    const FileTimeCount times[] = {UtcCount(2026, 12, 8, 10, 0, 0, 7), UtcCount(2026, 12, 1, 10, 0),
                                   UtcCount(2026, 12, 5, 10, 0)};
    std::map<std::wstring, FileTimeCount> written;
    for (int i = 0; i < 24; ++i) {
        const std::wstring name = L"tie-" + std::to_wstring(i * 7 % 24) + L".txt";
        FileTimeCount t = times[i % 3];
        if (i % 2 == 1) t += 5'000;  // 0.5 ms later: the same millisecond
        written[name] = t;
        AddFile(name, t, t);
    }
    // Expected: the enumeration order, stably sorted by the millisecond, newest first.
    std::vector<std::wstring> expected = EnumerationOrder(folder.Path());
    ASSERT_EQ(expected.size(), written.size());
    std::stable_sort(expected.begin(), expected.end(), [&](const std::wstring& a, const std::wstring& b) {
        return written[a] / kTicksPerMillisecond > written[b] / kTicksPerMillisecond;
    });
    EXPECT_EQ(Scan(FileTimeKind::Modified), expected);
    EXPECT_EQ(Scan(FileTimeKind::Accessed), expected);
}

TEST_F(OrderingTest, UnreadableEntriesComeLastInEnumerationOrder) {
    AddFile(L"ancient", UtcCount(1990, 1, 1, 0, 0), UtcCount(1990, 1, 1, 0, 0));
    AddFile(L"oldest", UtcCount(1980, 1, 2, 0, 0), UtcCount(1980, 1, 2, 0, 0));
    AddFile(L"recent", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 8, 10, 0));
    for (const wchar_t* name : {L"broken-c.", L"broken-a.", L"broken-b."}) folder.MakeUnopenableFile(name);

    std::vector<std::wstring> unreadable;
    for (const std::wstring& name : EnumerationOrder(folder.Path()))
        if (name.rfind(L"broken-", 0) == 0) unreadable.push_back(name);
    std::vector<std::wstring> expected{L"recent", L"ancient", L"oldest"};
    expected.insert(expected.end(), unreadable.begin(), unreadable.end());

    for (FileTimeKind kind : {FileTimeKind::Accessed, FileTimeKind::Modified}) {
        EXPECT_EQ(Scan(kind), expected);
        for (const FileEntry& entry : listing.Files())
            EXPECT_EQ(entry.SortTime == 0, entry.Name().rfind(L"broken-", 0) == 0) << ::testing::PrintToString(entry.Path());
    }
}

TEST_F(OrderingTest, AFutureDateComesFirst) {
    AddFile(L"now", UtcCount(2026, 12, 9, 13, 0), UtcCount(2026, 12, 9, 13, 0));
    AddFile(L"next-year", UtcCount(2027, 6, 1, 8, 0), UtcCount(2027, 6, 1, 8, 0));
    AddFile(L"tomorrow", UtcCount(2026, 12, 10, 8, 0), UtcCount(2026, 12, 10, 8, 0));
    AddFile(L"last-year", UtcCount(2025, 6, 1, 8, 0), UtcCount(2025, 6, 1, 8, 0));
    folder.MakeUnopenableFile(L"broken.");
    EXPECT_EQ(Scan(FileTimeKind::Modified),
              (std::vector<std::wstring>{L"next-year", L"tomorrow", L"now", L"last-year", L"broken."}));
    EXPECT_EQ(testing::EntryNamed(listing, L"tomorrow").DaysAgo, -1);
}

TEST_F(OrderingTest, WallClockOrderAcrossTheEndOfDaylightSavingTime) {
    // Berlin, 25 October 2026: the clocks go back from 03:00 CEST to 02:00 CET
    // at 01:00 UTC, so 02:00 to 03:00 local runs twice.
    struct File {
        const wchar_t* name;
        FileTimeCount utc;
    };
    const File files[] = {
        {L"first-0230", UtcCount(2026, 10, 25, 0, 30)},   // 02:30 CEST
        {L"second-0210", UtcCount(2026, 10, 25, 1, 10)},  // 02:10 CET, truly later than first-0230 and first-0250
        {L"first-0250", UtcCount(2026, 10, 25, 0, 50)},   // 02:50 CEST
        {L"second-0245", UtcCount(2026, 10, 25, 1, 45)},  // 02:45 CET
        {L"after-0305", UtcCount(2026, 10, 25, 2, 5)},    // 03:05 CET
        {L"before-0155", UtcCount(2026, 10, 24, 23, 55)},  // 01:55 CEST
    };
    for (const File& f : files) AddFile(f.name, f.utc, f.utc);
    const std::vector<std::wstring> wallClock{L"after-0305", L"first-0250", L"second-0245",
                                              L"first-0230", L"second-0210", L"before-0155"};
    // Ordered by UTC, second-0245 and second-0210 would come before first-0250.
    EXPECT_EQ(Scan(FileTimeKind::Modified), wallClock);
    EXPECT_EQ(Scan(FileTimeKind::Accessed), wallClock);
    EXPECT_EQ(testing::EntryNamed(listing, L"second-0210").LocalTime.Hour, 2);
    EXPECT_EQ(testing::EntryNamed(listing, L"first-0250").LocalTime.Hour, 2);
}

TEST_F(OrderingTest, EachKindOrdersEveryFileOnceByItsOwnTime) {
    // Access order is the reverse of write order.
    for (int i = 0; i < 10; ++i)
        AddFile(L"f" + std::to_wstring(i), UtcCount(2026, 12, 1, 10, i), UtcCount(2026, 12, 1, 10, 30 - i));
    std::vector<std::wstring> byAccess = Scan(FileTimeKind::Accessed);
    std::vector<std::wstring> byWrite = Scan(FileTimeKind::Modified);
    std::vector<std::wstring> reversed(byWrite.rbegin(), byWrite.rend());
    EXPECT_EQ(byAccess, reversed);
    EXPECT_EQ(byAccess.front(), L"f9");
    std::sort(byAccess.begin(), byAccess.end());
    EXPECT_EQ(std::unique(byAccess.begin(), byAccess.end()), byAccess.end());
    EXPECT_EQ(byAccess.size(), 10u);
}

TEST_F(OrderingTest, NamesBeyondAsciiAreListedWithTheirTimes) {
    AddFile(L"Gr\u00FC\u00DFe.txt", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 8, 10, 0));
    AddFile(L"\u65E5\u672C.txt", UtcCount(2026, 12, 8, 11, 0), UtcCount(2026, 12, 8, 11, 0));
    AddFile(L"plain.txt", UtcCount(2026, 12, 8, 9, 0), UtcCount(2026, 12, 8, 9, 0));
    EXPECT_EQ(Scan(FileTimeKind::Modified),
              (std::vector<std::wstring>{L"\u65E5\u672C.txt", L"Gr\u00FC\u00DFe.txt", L"plain.txt"}));
    for (const FileEntry& entry : listing.Files()) {
        EXPECT_NE(entry.SortTime, 0u) << ::testing::PrintToString(entry.Path());
        EXPECT_EQ(entry.Path(), folder.Path() + L"\\" + std::wstring(entry.Name()));
    }
}

TEST_F(OrderingTest, EmptyFolderAndOneFile) {
    EXPECT_TRUE(Scan(FileTimeKind::Modified).empty());
    AddFile(L"only", UtcCount(2026, 12, 1, 10, 0), UtcCount(2026, 12, 1, 10, 0));
    EXPECT_EQ(Scan(FileTimeKind::Modified), std::vector<std::wstring>{L"only"});
}

// On entries whose keys the test sets.

class SortKeyTest : public OrderingTest {
protected:
    // An entry to copy: the keys of the copies are set by the test.
    FileEntry Template() {
        AddFile(L"template", UtcCount(2026, 12, 1, 10, 0), UtcCount(2026, 12, 1, 10, 0));
        Scan(FileTimeKind::Modified);
        return listing.Files().front();
    }
};

TEST_F(SortKeyTest, NewerFirstIsAStrictUnsignedLaterThan) {
    FileEntry a = Template(), b = a;
    a.SortTime = 2;
    b.SortTime = 1;
    EXPECT_TRUE(NewerFirst(a, b));
    EXPECT_FALSE(NewerFirst(b, a));
    b.SortTime = 2;
    EXPECT_FALSE(NewerFirst(a, b));
    EXPECT_FALSE(NewerFirst(b, a));
    // CompareFileTime compares unsigned: a count with the top bit set is later.
    a.SortTime = 0x8000000000000000ull;
    b.SortTime = 0x7FFFFFFFFFFFFFFFull;
    EXPECT_TRUE(NewerFirst(a, b));
    b.SortTime = 0;
    EXPECT_TRUE(NewerFirst(a, b));
}

TEST_F(SortKeyTest, SortIsStableAndRelinksWithoutCopying) {
    // Each copy carries its number in DaysAgo, which the sort does not look at.
    const FileEntry model = Template();
    std::list<FileEntry> files;
    std::vector<std::pair<FileTimeCount, std::int32_t>> reference;
    std::uint32_t state = 12345;
    for (std::int32_t i = 0; i < 2000; ++i) {
        state = state * 1103515245u + 12345u;
        FileEntry entry = model;
        entry.DaysAgo = i;
        entry.SortTime = (state >> 16) % 7 * 10'000;  // many ties, zero among them
        reference.emplace_back(entry.SortTime, i);
        files.push_back(entry);
    }
    std::vector<const FileEntry*> addresses;
    for (const FileEntry& entry : files) addresses.push_back(&entry);

    SortNewestFirst(files);

    std::stable_sort(reference.begin(), reference.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::int32_t> sorted;
    for (const FileEntry& entry : files) sorted.push_back(entry.DaysAgo);
    std::vector<std::int32_t> expected;
    for (const auto& item : reference) expected.push_back(item.second);
    EXPECT_EQ(sorted, expected);

    // Every entry still lives where it was built: nodes were relinked.
    std::vector<const FileEntry*> after;
    for (const FileEntry& entry : files) after.push_back(&entry);
    std::sort(addresses.begin(), addresses.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(addresses, after);
    for (const FileEntry& entry : files) EXPECT_EQ(entry.Name(), L"template");
}

TEST_F(SortKeyTest, FewerThanTwoEntriesStayAsTheyAre) {
    std::list<FileEntry> files;
    SortNewestFirst(files);
    EXPECT_TRUE(files.empty());
    files.push_back(Template());
    const FileEntry* only = &files.front();
    SortNewestFirst(files);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(&files.front(), only);
}

TEST_F(SortKeyTest, NameAndPathOutliveTheEntryTheyWereCopiedFrom) {
    // The copies are taken from entries that are gone by the time they are
    // read, so a name still tied to its original shows (under ASan at once).
    auto original = std::make_unique<FileEntry>(Template());
    FileEntry copy = *original;
    original.reset();
    original = std::make_unique<FileEntry>(std::move(copy));
    const FileEntry moved = std::move(*original);
    original.reset();
    EXPECT_EQ(moved.Name(), L"template");
    EXPECT_EQ(moved.Path(), folder.Path() + L"\\template");
    // Callers hand the name to functions that read up to a null.
    EXPECT_EQ(moved.Name().data()[moved.Name().size()], L'\0');
}

}  // namespace
}  // namespace tessaly
