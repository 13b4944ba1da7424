// The settings store against every registry it runs on: what a read returns
// and what it leaves stored, and what a write stores.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "tests/settings/SettingsSides.h"

namespace tessaly {
namespace {

using testing::Bytes;
using testing::StoreSide;
namespace type = registry::type;

constexpr std::uint32_t kDword = 4;  // REG_DWORD as Windows numbers it

struct Preset {
    std::uint32_t type;
    Bytes bytes;
};

struct ReadCase {
    const char* label;
    const wchar_t* name;
    std::optional<Preset> preset;
    std::int32_t expected;
    Preset storedAfter;
};

const Bytes kThreeCharacters = testing::Utf16Bytes(std::u16string(u"abc", 4));  // 8 bytes with the terminator
const Bytes kSeven = testing::Utf16Bytes(std::u16string(u"7", 2));               // 4 bytes with the terminator

const ReadCase kReadCases[] = {
    {"new user: FileCount", L"FileCount", std::nullopt, 10, {kDword, {10, 0, 0, 0}}},
    {"new user: ShowRecentModified", L"ShowRecentModified", std::nullopt, 0, {kDword, {0, 0, 0, 0}}},
    {"new user: ShowRecentAccessed", L"ShowRecentAccessed", std::nullopt, 1, {kDword, {1, 0, 0, 0}}},
    {"new user: HighlightDays", L"HighlightDays", std::nullopt, 3, {kDword, {3, 0, 0, 0}}},
    {"new user: ShowTimeHint", L"ShowTimeHint", std::nullopt, 1, {kDword, {1, 0, 0, 0}}},
    {"new user: WeekStart", L"WeekStart", std::nullopt, 0, {kDword, {0, 0, 0, 0}}},
    {"stored dword", L"FileCount", Preset{kDword, {25, 0, 0, 0}}, 25, {kDword, {25, 0, 0, 0}}},
    {"three-character string is replaced by the default", L"FileCount", Preset{type::kString, kThreeCharacters},
     10, {kDword, {10, 0, 0, 0}}},
    {"five-byte binary is replaced by the default", L"HighlightDays", Preset{type::kBinary, {1, 2, 3, 4, 5}}, 3,
     {kDword, {3, 0, 0, 0}}},
    {"one-byte binary 5 reads 5 and stays", L"FileCount", Preset{type::kBinary, {5}}, 5, {type::kBinary, {5}}},
    {"one-character string reads its code", L"FileCount", Preset{type::kString, kSeven}, 55,
     {type::kString, kSeven}},
    {"empty binary reads 0 and stays", L"ShowTimeHint", Preset{type::kBinary, {}}, 0, {type::kBinary, {}}},
    {"four bytes are little-endian", L"WeekStart", Preset{type::kBinary, {1, 2, 3, 4}}, 0x04030201,
     {type::kBinary, {1, 2, 3, 4}}},
    {"all bits set read -1", L"HighlightDays", Preset{kDword, {0xFF, 0xFF, 0xFF, 0xFF}}, -1,
     {kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
    {"unknown name stores -1", L"Colour", std::nullopt, -1, {kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
    {"differently cased name stores -1", L"fileCount", std::nullopt, -1, {kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
    {"a setting's name as prefix stores -1", L"FileCountX", std::nullopt, -1, {kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
    {"part of a setting's name stores -1", L"FileCoun", std::nullopt, -1, {kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
};

class SettingsStoreTest : public testing::SettingsStoreFixture {};

TEST_P(SettingsStoreTest, ReadReturnsTheStoredBitsOrStoresTheDefault) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(testing::DeleteTree(registry(), registry::kCurrentUser, testing::kCompanyPath), win32::kSuccess);
        if (c.preset) Preset(c.name, c.preset->type, c.preset->bytes);

        EXPECT_EQ(Read(c.name), c.expected);
        const auto stored = Stored(c.name);
        EXPECT_EQ(stored.error, win32::kSuccess);
        EXPECT_EQ(stored.type, c.storedAfter.type);
        EXPECT_EQ(stored.bytes, c.storedAfter.bytes);
        EXPECT_EQ(Read(c.name), c.expected) << "a second read differs";
    }
}

// The first read of a new user creates exactly the key and that one value;
// each further setting read adds its own value beside it.
TEST_P(SettingsStoreTest, FirstReadCreatesTheKeyWithOnlyThatValue) {
    ASSERT_FALSE(testing::KeyExists(registry(), registry::kCurrentUser, testing::kCompanyPath));
    EXPECT_EQ(Read(L"FileCount"), 10);
    EXPECT_EQ(Stored(L"ShowRecentModified").error, win32::kFileNotFound);
    EXPECT_EQ(Read(L"ShowRecentModified"), 0);
    EXPECT_EQ(Stored(L"FileCount").bytes, (Bytes{10, 0, 0, 0}));
    EXPECT_EQ(Stored(L"ShowRecentModified").bytes, (Bytes{0, 0, 0, 0}));

    // Nothing but the application key under the company key, and no subkey below it.
    registry::Key company;
    ASSERT_EQ(registry::OpenKey(registry(), registry::kCurrentUser, testing::kCompanyPath, registry::access::kRead,
                                company),
              win32::kSuccess);
    wchar_t name[256];
    ASSERT_EQ(registry().FirstSubKeyName(company.id(), name, 256), win32::kSuccess);
    EXPECT_EQ(std::wstring(name), L"Tessaly");
    registry::Key application;
    ASSERT_EQ(registry::OpenKey(registry(), company.id(), L"Tessaly", registry::access::kRead, application),
              win32::kSuccess);
    bool hasSubKeys = true;
    ASSERT_EQ(registry().HasSubKeys(application.id(), hasSubKeys), win32::kSuccess);
    EXPECT_FALSE(hasSubKeys);
    std::uint32_t size = 0;
    EXPECT_EQ(registry().QueryValue(company.id(), L"FileCount", nullptr, nullptr, size), win32::kFileNotFound)
        << "a value landed in the company key";
}

TEST_P(SettingsStoreTest, AMissingValueIsAddedAndTheOthersAreKept) {
    Preset(L"WeekStart", kDword, {1, 0, 0, 0});
    Preset(L"Other", type::kString, kThreeCharacters);
    EXPECT_EQ(Read(L"FileCount"), 10);
    EXPECT_EQ(Stored(L"WeekStart").bytes, (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(Stored(L"Other").bytes, kThreeCharacters);
}

// The registry finds a value whatever its case, the defaults do not: a
// missing setting read under another case stores -1, which the proper name
// then finds.
TEST_P(SettingsStoreTest, ADifferentlyCasedReadIsWhatTheProperNameFindsLater) {
    EXPECT_EQ(Read(L"FILECOUNT"), -1);
    EXPECT_EQ(Read(L"FileCount"), -1);
    EXPECT_TRUE(Write(L"FileCount", 15));
    EXPECT_EQ(Read(L"FILECOUNT"), 15);
}

TEST_P(SettingsStoreTest, WriteStoresFourLittleEndianBytesAsDword) {
    struct WriteCase {
        std::int32_t value;
        Bytes bytes;
    };
    const WriteCase cases[] = {
        {0, {0, 0, 0, 0}},
        {1, {1, 0, 0, 0}},
        {25, {25, 0, 0, 0}},
        {0x12345678, {0x78, 0x56, 0x34, 0x12}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {INT32_MIN, {0, 0, 0, 0x80}},
        {INT32_MAX, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(testing::DeleteTree(registry(), registry::kCurrentUser, testing::kCompanyPath), win32::kSuccess);
        EXPECT_TRUE(Write(L"HighlightDays", c.value));
        const auto stored = Stored(L"HighlightDays");
        EXPECT_EQ(stored.type, kDword);
        EXPECT_EQ(stored.bytes, c.bytes);
        EXPECT_EQ(Read(L"HighlightDays"), c.value);
    }
}

TEST_P(SettingsStoreTest, WriteReplacesAValueOfAnotherTypeWithADword) {
    Preset(L"FileCount", type::kString, kThreeCharacters);
    EXPECT_TRUE(Write(L"filecount", 20));
    const auto stored = Stored(L"FileCount");
    EXPECT_EQ(stored.type, kDword);
    EXPECT_EQ(stored.bytes, (Bytes{20, 0, 0, 0}));
}

TEST_P(SettingsStoreTest, NoNameIsNoSettingAndTouchesNothing) {
    EXPECT_EQ(Read(nullptr), -1);
    EXPECT_FALSE(Write(nullptr, 1));
    EXPECT_FALSE(testing::KeyExists(registry(), registry::kCurrentUser, testing::kCompanyPath));
}

INSTANTIATE_TEST_SUITE_P(Registries, SettingsStoreTest, ::testing::Values(StoreSide::Memory, StoreSide::Product),
                         testing::StoreSideName);

TEST(DefaultSettingTest, EachSettingHasItsDefaultAndEveryOtherNameHasMinusOne) {
    struct Row {
        const wchar_t* name;
        std::int32_t expected;
    };
    const Row rows[] = {
        {L"ShowRecentModified", 0}, {L"ShowRecentAccessed", 1}, {L"FileCount", 10}, {L"HighlightDays", 3},
        {L"ShowTimeHint", 1},       {L"WeekStart", 0},          {L"filecount", -1}, {L"FILECOUNT", -1},
        {L"FileCount ", -1},        {L"FileCountX", -1},        {L"FileCoun", -1},  {L"", -1},
        {L"ShowRecent", -1},        {nullptr, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GetDefaultSetting(row.name), row.expected) << (row.name ? std::wstring(row.name) : L"(none)");
    }
}

}  // namespace
}  // namespace tessaly
