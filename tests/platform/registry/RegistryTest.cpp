// What the settings store and the registry script interpreter rely on from the
// registry, checked against every registry the product can run on.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "platform/registry/MemoryRegistry.h"
#include "platform/registry/Registry.h"
#include "tests/platform/registry/RegistryProbe.h"
#include "tests/platform/registry/RegistrySides.h"

namespace tessaly::registry {
namespace {

using testing::Bytes;
using testing::Utf16Bytes;
using testing::ReadStored;

constexpr const wchar_t* kScratch = L"Software\\TessalyRegistryTest";

class RegistryContract : public ::testing::TestWithParam<testing::RegistrySide> {
protected:
    void SetUp() override {
        m_registry = GetParam().make();
        ASSERT_EQ(testing::DeleteTree(*m_registry, kCurrentUser, kScratch), win32::kSuccess);
        ASSERT_EQ(CreateKey(*m_registry, kCurrentUser, kScratch, access::kAllAccess, m_scratch), win32::kSuccess);
    }
    void TearDown() override {
        m_scratch.Close();
        EXPECT_EQ(testing::DeleteTree(*m_registry, kCurrentUser, kScratch), win32::kSuccess);
        if (auto* memory = dynamic_cast<MemoryRegistry*>(m_registry.get())) {
            EXPECT_EQ(memory->OpenHandleCount(), 0u) << "a key was left open";
        }
    }

    Registry& registry() { return *m_registry; }
    KeyId scratch() const { return m_scratch.id(); }

    // A new key below the scratch key, with one value "V" and one subkey "Sub".
    Key MakeFilledKey(const wchar_t* name) {
        Key key;
        EXPECT_EQ(CreateKey(registry(), scratch(), name, access::kAllAccess, key), win32::kSuccess);
        const std::uint32_t one = 1;
        EXPECT_EQ(registry().SetValue(key.id(), L"V", type::kDword, &one, 4), win32::kSuccess);
        Key sub;
        EXPECT_EQ(CreateKey(registry(), key.id(), L"Sub", access::kAllAccess, sub), win32::kSuccess);
        return key;
    }

    std::unique_ptr<Registry> m_registry;
    Key m_scratch;
};

TEST_P(RegistryContract, OpeningAMissingKeyFailsWithNotFoundAndCreatesNothing) {
    for (const wchar_t* path : {L"Missing", L"Missing\\Below"}) {
        Key key;
        EXPECT_EQ(OpenKey(registry(), scratch(), path, access::kAllAccess, key), win32::kFileNotFound) << path;
        EXPECT_FALSE(key.valid());
    }
    bool hasSubKeys = true;
    ASSERT_EQ(registry().HasSubKeys(scratch(), hasSubKeys), win32::kSuccess);
    EXPECT_FALSE(hasSubKeys);
}

TEST_P(RegistryContract, CreatingMakesEveryLevelAndOpensAnExistingKeyWithItsValues) {
    Key created;
    ASSERT_EQ(CreateKey(registry(), scratch(), L"One\\Two\\Three", access::kAllAccess, created), win32::kSuccess);
    const std::uint32_t seven = 7;
    ASSERT_EQ(registry().SetValue(created.id(), L"N", type::kDword, &seven, 4), win32::kSuccess);

    Key again;
    ASSERT_EQ(CreateKey(registry(), scratch(), L"one\\TWO\\three", access::kAllAccess, again), win32::kSuccess);
    const auto stored = ReadStored(registry(), scratch(), L"ONE\\two\\Three", L"N");
    EXPECT_EQ(stored.error, win32::kSuccess);
    EXPECT_EQ(stored.bytes, (Bytes{7, 0, 0, 0}));
    wchar_t name[16];
    Key one;
    ASSERT_EQ(OpenKey(registry(), scratch(), L"one", access::kRead, one), win32::kSuccess);
    ASSERT_EQ(registry().FirstSubKeyName(one.id(), name, 16), win32::kSuccess);
    EXPECT_EQ(std::wstring(name), L"Two") << "a key keeps the letter case it was created with";
}

TEST_P(RegistryContract, NullOrEmptySubKeyOpensTheSameKeyAgain) {
    for (const wchar_t* self : {static_cast<const wchar_t*>(nullptr), L""}) {
        Key again;
        ASSERT_EQ(OpenKey(registry(), scratch(), self, access::kAllAccess, again), win32::kSuccess);
        EXPECT_NE(again.id(), scratch());
        const std::uint32_t mark = self == nullptr ? 1 : 2;
        ASSERT_EQ(registry().SetValue(again.id(), L"Mark", type::kDword, &mark, 4), win32::kSuccess);
        EXPECT_EQ(ReadStored(registry(), kCurrentUser, kScratch, L"Mark").bytes,
                  (Bytes{static_cast<unsigned char>(mark), 0, 0, 0}));
    }
}

struct ValueCase {
    const char* label;
    const wchar_t* name;
    std::uint32_t type;
    Bytes bytes;
};

// Each value comes back with its type and exactly its bytes, whatever the
// type; a buffer that is too small gets ERROR_MORE_DATA and the size needed.
TEST_P(RegistryContract, ValuesComeBackWithTheirTypeSizeAndBytes) {
    const ValueCase cases[] = {
        {"string", L"Text", type::kString, Utf16Bytes(std::u16string(u"abc", 4))},
        {"dword", L"Number", type::kDword, {0x78, 0x56, 0x34, 0x12}},
        {"one byte", L"Byte", type::kBinary, {5}},
        {"empty binary", L"Empty", type::kBinary, {}},
        {"multi string", L"List", type::kMultiString, Utf16Bytes(std::u16string(u"a\0b\0\0", 5))},
        {"default value", nullptr, type::kString, Utf16Bytes(std::u16string(u"d", 2))},
        {"blank in name", L"Two words", type::kDword, {1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(registry().SetValue(scratch(), c.name, c.type, c.bytes.data(),
                                      static_cast<std::uint32_t>(c.bytes.size())),
                  win32::kSuccess);
        const auto stored = ReadStored(registry(), kCurrentUser, kScratch, c.name);
        EXPECT_EQ(stored.error, win32::kSuccess);
        EXPECT_EQ(stored.type, c.type);
        EXPECT_EQ(stored.bytes, c.bytes);

        std::uint32_t sizeOnly = 0;
        EXPECT_EQ(registry().QueryValue(scratch(), c.name, nullptr, nullptr, sizeOnly), win32::kSuccess);
        EXPECT_EQ(sizeOnly, c.bytes.size());
        if (!c.bytes.empty()) {
            Bytes tooSmall(c.bytes.size());
            std::uint32_t size = static_cast<std::uint32_t>(c.bytes.size() - 1);
            std::uint32_t valueType = type::kNone;
            EXPECT_EQ(registry().QueryValue(scratch(), c.name, &valueType, tooSmall.data(), size), win32::kMoreData);
            EXPECT_EQ(size, c.bytes.size());
        }
    }
}

TEST_P(RegistryContract, DefaultValueIsNamedByNullOrEmptyName) {
    const std::uint32_t value = 3;
    ASSERT_EQ(registry().SetValue(scratch(), nullptr, type::kDword, &value, 4), win32::kSuccess);
    EXPECT_EQ(ReadStored(registry(), kCurrentUser, kScratch, L"").bytes, (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(registry().DeleteValue(scratch(), L""), win32::kSuccess);
    EXPECT_EQ(ReadStored(registry(), kCurrentUser, kScratch, nullptr).error, win32::kFileNotFound);
}

TEST_P(RegistryContract, ValueNamesIgnoreLetterCaseAndSettingReplacesTypeAndSize) {
    const Bytes text = Utf16Bytes(std::u16string(u"abc", 4));
    ASSERT_EQ(registry().SetValue(scratch(), L"Name", type::kString, text.data(), 8), win32::kSuccess);
    const std::uint32_t two = 2;
    ASSERT_EQ(registry().SetValue(scratch(), L"NAME", type::kDword, &two, 4), win32::kSuccess);
    const auto stored = ReadStored(registry(), kCurrentUser, kScratch, L"name");
    EXPECT_EQ(stored.type, type::kDword);
    EXPECT_EQ(stored.bytes, (Bytes{2, 0, 0, 0}));
    EXPECT_EQ(registry().DeleteValue(scratch(), L"nAmE"), win32::kSuccess);
    EXPECT_EQ(ReadStored(registry(), kCurrentUser, kScratch, L"Name").error, win32::kFileNotFound);
}

TEST_P(RegistryContract, MissingValueIsNotFoundForQueryAndDelete) {
    std::uint32_t size = 4;
    unsigned char buffer[4] = {};
    EXPECT_EQ(registry().QueryValue(scratch(), L"Absent", nullptr, buffer, size), win32::kFileNotFound);
    EXPECT_EQ(registry().DeleteValue(scratch(), L"Absent"), win32::kFileNotFound);
}

// Each operation needs its own right on the handle it is given.
TEST_P(RegistryContract, HandlesAllowOnlyWhatTheyWereOpenedFor) {
    using Operation = std::function<Win32Error(Registry&, KeyId)>;
    const Operation query = [](Registry& r, KeyId k) {
        std::uint32_t size = 4;
        unsigned char buffer[4];
        return r.QueryValue(k, L"V", nullptr, buffer, size);
    };
    const Operation set = [](Registry& r, KeyId k) {
        const std::uint32_t two = 2;
        return r.SetValue(k, L"V", type::kDword, &two, 4);
    };
    const Operation deleteValue = [](Registry& r, KeyId k) { return r.DeleteValue(k, L"V"); };
    const Operation createSubKey = [](Registry& r, KeyId k) {
        Key created;
        return CreateKey(r, k, L"New", access::kRead, created);
    };
    const Operation firstSubKey = [](Registry& r, KeyId k) {
        wchar_t name[8];
        return r.FirstSubKeyName(k, name, 8);
    };
    const Operation hasSubKeys = [](Registry& r, KeyId k) {
        bool has = false;
        return r.HasSubKeys(k, has);
    };
    struct Row {
        const char* label;
        std::uint32_t access;
        const Operation& operation;
        Win32Error expected;
    };
    const Row rows[] = {
        {"read: query", access::kRead, query, win32::kSuccess},
        {"read: set", access::kRead, set, win32::kAccessDenied},
        {"read: delete value", access::kRead, deleteValue, win32::kAccessDenied},
        // Creating is checked against the key itself, not the handle's rights.
        {"read: create subkey", access::kRead, createSubKey, win32::kSuccess},
        {"read: first subkey", access::kRead, firstSubKey, win32::kSuccess},
        {"read: has subkeys", access::kRead, hasSubKeys, win32::kSuccess},
        {"write: query", access::kWrite, query, win32::kAccessDenied},
        {"write: set", access::kWrite, set, win32::kSuccess},
        {"write: delete value", access::kWrite, deleteValue, win32::kSuccess},
        {"write: create subkey", access::kWrite, createSubKey, win32::kSuccess},
        {"write: first subkey", access::kWrite, firstSubKey, win32::kAccessDenied},
        {"create subkey only: create", access::kCreateSubKey, createSubKey, win32::kSuccess},
        {"create subkey only: set", access::kCreateSubKey, set, win32::kAccessDenied},
        {"create subkey only: query", access::kCreateSubKey, query, win32::kAccessDenied},
        {"query value only: has subkeys", access::kQueryValue, hasSubKeys, win32::kSuccess},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const std::wstring name = L"Row" + std::to_wstring(index++);
        MakeFilledKey(name.c_str());
        Key opened;
        ASSERT_EQ(OpenKey(registry(), scratch(), name.c_str(), row.access, opened), win32::kSuccess);
        EXPECT_EQ(row.operation(registry(), opened.id()), row.expected);
    }
}

TEST_P(RegistryContract, DeletingAKeyNeedsItToHaveNoSubkeysAndTakesItsValues) {
    Key filled = MakeFilledKey(L"Parent");
    filled.Close();
    EXPECT_EQ(registry().DeleteKey(scratch(), L"Parent"), win32::kAccessDenied);
    EXPECT_TRUE(testing::KeyExists(registry(), scratch(), L"Parent\\Sub"));

    // The parent handle needs no rights of its own to delete below it.
    Key readOnlyParent;
    ASSERT_EQ(OpenKey(registry(), scratch(), L"Parent", access::kRead, readOnlyParent), win32::kSuccess);
    EXPECT_EQ(registry().DeleteKey(readOnlyParent.id(), L"Sub"), win32::kSuccess);
    EXPECT_EQ(registry().DeleteKey(scratch(), L"Parent"), win32::kSuccess);
    EXPECT_FALSE(testing::KeyExists(registry(), scratch(), L"Parent"));
    EXPECT_EQ(registry().DeleteKey(scratch(), L"Parent"), win32::kFileNotFound);

    Key recreated;
    ASSERT_EQ(CreateKey(registry(), scratch(), L"Parent", access::kAllAccess, recreated), win32::kSuccess);
    EXPECT_EQ(ReadStored(registry(), scratch(), L"Parent", L"V").error, win32::kFileNotFound)
        << "values went with the deleted key";
}

TEST_P(RegistryContract, AHandleOfADeletedKeyReportsKeyDeleted) {
    Key doomed;
    ASSERT_EQ(CreateKey(registry(), scratch(), L"Doomed", access::kAllAccess, doomed), win32::kSuccess);
    ASSERT_EQ(registry().DeleteKey(scratch(), L"Doomed"), win32::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(registry().QueryValue(doomed.id(), L"V", nullptr, nullptr, size), kKeyDeletedError);
    const std::uint32_t one = 1;
    EXPECT_EQ(registry().SetValue(doomed.id(), L"V", type::kDword, &one, 4), kKeyDeletedError);
    EXPECT_EQ(doomed.Close(), win32::kSuccess);
}

TEST_P(RegistryContract, FirstSubKeyNameGivesNamesUntilNoneAreLeft) {
    wchar_t name[256];
    EXPECT_EQ(registry().FirstSubKeyName(scratch(), name, 256), win32::kNoMoreItems);

    const std::set<std::wstring> created{L"Alpha", L"beta", L"Gamma Ray", L"delta"};
    for (const auto& child : created) {
        Key key;
        ASSERT_EQ(CreateKey(registry(), scratch(), child.c_str(), access::kRead, key), win32::kSuccess);
    }
    wchar_t tiny[2];
    EXPECT_EQ(registry().FirstSubKeyName(scratch(), tiny, 2), win32::kMoreData);

    // Taking the first name and deleting it, over and over, is how a tree is
    // removed: every name must be one that was created, each exactly once.
    std::set<std::wstring> seen;
    while (registry().FirstSubKeyName(scratch(), name, 256) == win32::kSuccess) {
        ASSERT_TRUE(created.count(name)) << "unexpected name";
        ASSERT_TRUE(seen.insert(name).second) << "name came back after its deletion";
        ASSERT_EQ(registry().DeleteKey(scratch(), name), win32::kSuccess);
    }
    EXPECT_EQ(seen, created);
}

TEST_P(RegistryContract, HasSubKeysFollowsCreationAndDeletion) {
    bool has = true;
    ASSERT_EQ(registry().HasSubKeys(scratch(), has), win32::kSuccess);
    EXPECT_FALSE(has);
    const std::uint32_t one = 1;
    ASSERT_EQ(registry().SetValue(scratch(), L"V", type::kDword, &one, 4), win32::kSuccess);
    ASSERT_EQ(registry().HasSubKeys(scratch(), has), win32::kSuccess);
    EXPECT_FALSE(has) << "values are not subkeys";
    {
        Key child;
        ASSERT_EQ(CreateKey(registry(), scratch(), L"Child", access::kRead, child), win32::kSuccess);
    }
    ASSERT_EQ(registry().HasSubKeys(scratch(), has), win32::kSuccess);
    EXPECT_TRUE(has);
    ASSERT_EQ(registry().DeleteKey(scratch(), L"Child"), win32::kSuccess);
    ASSERT_EQ(registry().HasSubKeys(scratch(), has), win32::kSuccess);
    EXPECT_FALSE(has);
}

TEST_P(RegistryContract, PredefinedRootsWorkAndClosingThemDoesNothing) {
    EXPECT_EQ(registry().CloseKey(kCurrentUser), win32::kSuccess);
    Key key;
    EXPECT_EQ(OpenKey(registry(), kCurrentUser, kScratch, access::kRead, key), win32::kSuccess);
    Key root(registry(), kCurrentUser);
    EXPECT_EQ(root.Close(), win32::kSuccess);
    Key software;
    EXPECT_EQ(OpenKey(registry(), kCurrentUser, L"software", access::kRead, software), win32::kSuccess);
}

INSTANTIATE_TEST_SUITE_P(Registries, RegistryContract, ::testing::ValuesIn(testing::RegistrySides()),
                         testing::SideName);

}  // namespace
}  // namespace tessaly::registry
