// A registry that refuses part of what the store asks for (in memory, where
// refusals can be made on purpose): the store asks for no more than it needs,
// stops at the first refusal and leaves no value behind it.
#include <gtest/gtest.h>

#include "platform/registry/MemoryRegistry.h"
#include "platform/registry/SystemRegistry.h"
#include "settings/Settings.h"
#include "tests/platform/registry/RegistryProbe.h"
#include "tests/platform/registry/RegistrySides.h"
#include "tests/settings/DebugOutputProbe.h"

namespace tessaly {
namespace {

using registry::kCurrentUser;
using registry::MemoryRegistry;
using testing::Bytes;
namespace access = registry::access;

constexpr const wchar_t* kSettingsPath = L"Software\\Quenbridge\\Tessaly";

// The rights a key has beyond the given ones.
std::uint32_t AllBut(std::uint32_t rights) { return access::kAllAccess & ~rights; }

class SettingsRefusalTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(m_memory->OpenHandleCount(), 0u) << "a registry key was left open"; }

    void Preset(const wchar_t* name, std::uint32_t value) {
        ASSERT_TRUE(WriteSetting(*m_memory, name, static_cast<std::int32_t>(value)));
    }

    std::unique_ptr<MemoryRegistry> m_memory = testing::NewUserMemoryRegistry();
};

TEST_F(SettingsRefusalTest, SoftwareRefusingSubkeysMeansNoWriteAndNothingCreated) {
    m_memory->Deny(kCurrentUser, L"Software", access::kCreateSubKey);
    const std::wstring before = m_memory->Dump(kCurrentUser);
    EXPECT_FALSE(WriteSetting(*m_memory, L"FileCount", 15));
    EXPECT_EQ(m_memory->Dump(kCurrentUser), before);

    // Reading still answers, with the default, and creates nothing either.
    EXPECT_EQ(ReadSetting(*m_memory, L"FileCount"), 10);
    EXPECT_EQ(m_memory->Dump(kCurrentUser), before);
}

// Software grants nothing but creating subkeys, the new keys nothing but
// what the store asks of them: it still works.
TEST_F(SettingsRefusalTest, TheRightsAskedForAreEnough) {
    m_memory->Deny(kCurrentUser, L"Software", AllBut(access::kCreateSubKey));
    EXPECT_TRUE(WriteSetting(*m_memory, L"FileCount", 15));
    EXPECT_EQ(ReadSetting(*m_memory, L"FileCount"), 15);
}

// A key that may be read but not written still gives its values; the default
// of a missing one is returned but cannot be kept.
TEST_F(SettingsRefusalTest, AReadOnlyKeyIsReadAndGetsNoValues) {
    Preset(L"FileCount", 20);
    m_memory->Deny(kCurrentUser, kSettingsPath, AllBut(access::kRead));
    EXPECT_EQ(ReadSetting(*m_memory, L"FileCount"), 20);
    EXPECT_EQ(ReadSetting(*m_memory, L"HighlightDays"), 3);
    EXPECT_EQ(testing::ReadStored(*m_memory, kCurrentUser, kSettingsPath, L"HighlightDays").error,
              win32::kFileNotFound);
}

TEST_F(SettingsRefusalTest, ARefusedValueWriteLeavesNoValueAndKeepsTheOldOne) {
    Preset(L"FileCount", 20);
    m_memory->Deny(kCurrentUser, kSettingsPath, access::kSetValue);
    EXPECT_FALSE(WriteSetting(*m_memory, L"FileCount", 5));
    EXPECT_FALSE(WriteSetting(*m_memory, L"WeekStart", 1));
    EXPECT_EQ(testing::ReadStored(*m_memory, kCurrentUser, kSettingsPath, L"FileCount").bytes, (Bytes{20, 0, 0, 0}));
    EXPECT_EQ(testing::ReadStored(*m_memory, kCurrentUser, kSettingsPath, L"WeekStart").error, win32::kFileNotFound);
}

TEST_F(SettingsRefusalTest, AnUnreadableKeyGivesTheDefault) {
    Preset(L"FileCount", 20);
    m_memory->Deny(kCurrentUser, kSettingsPath, access::kQueryValue);
    EXPECT_EQ(ReadSetting(*m_memory, L"FileCount"), 10);
}

// A company key that refuses subkeys: the write fails at the application key,
// and the company key it found stays as it was.
TEST_F(SettingsRefusalTest, TheCompanyKeyRefusingSubkeysStopsTheWrite) {
    m_memory->Deny(kCurrentUser, L"Software\\Quenbridge", access::kCreateSubKey);
    const std::wstring before = m_memory->Dump(kCurrentUser);
    EXPECT_FALSE(WriteSetting(*m_memory, L"FileCount", 15));
    EXPECT_EQ(m_memory->Dump(kCurrentUser), before);
}

// A registry whose value writes fail after the keys were created, the way a
// full disk or a racing permission change would.
class FailingValueWrites final : public registry::Registry {
public:
    explicit FailingValueWrites(Registry& inner) : m_inner(inner) {}
    Win32Error OpenKey(registry::KeyId p, const wchar_t* s, std::uint32_t a, registry::KeyId& k) override {
        return m_inner.OpenKey(p, s, a, k);
    }
    Win32Error CreateKey(registry::KeyId p, const wchar_t* s, std::uint32_t a, registry::KeyId& k) override {
        return m_inner.CreateKey(p, s, a, k);
    }
    Win32Error QueryValue(registry::KeyId k, const wchar_t* n, std::uint32_t* t, void* d,
                          std::uint32_t& s) override {
        return m_inner.QueryValue(k, n, t, d, s);
    }
    Win32Error SetValue(registry::KeyId, const wchar_t*, std::uint32_t, const void*, std::uint32_t) override {
        ++attempts;
        return 1450;  // ERROR_NO_SYSTEM_RESOURCES
    }
    Win32Error DeleteValue(registry::KeyId k, const wchar_t* n) override { return m_inner.DeleteValue(k, n); }
    Win32Error DeleteKey(registry::KeyId p, const wchar_t* s) override { return m_inner.DeleteKey(p, s); }
    Win32Error FirstSubKeyName(registry::KeyId k, wchar_t* n, std::uint32_t r) override {
        return m_inner.FirstSubKeyName(k, n, r);
    }
    Win32Error HasSubKeys(registry::KeyId k, bool& h) override { return m_inner.HasSubKeys(k, h); }
    Win32Error CloseKey(registry::KeyId k) override { return m_inner.CloseKey(k); }

    int attempts = 0;

private:
    Registry& m_inner;
};

TEST_F(SettingsRefusalTest, AFailedValueWriteIsReportedAndTheKeysCreatedBeforeStay) {
    FailingValueWrites failing(*m_memory);
    EXPECT_FALSE(WriteSetting(failing, L"FileCount", 15));
    EXPECT_EQ(failing.attempts, 1) << "one value write, nothing attempted after it";
    EXPECT_TRUE(testing::KeyExists(*m_memory, kCurrentUser, kSettingsPath));
    EXPECT_EQ(ReadSetting(failing, L"FileCount"), 10);
}

// Neither the normal paths nor the refused ones write a debug line.
TEST_F(SettingsRefusalTest, NothingIsReportedToTheDebugOutput) {
    testing::DebugOutputProbe probe;
    ReadSetting(*m_memory, L"FileCount");
    WriteSetting(*m_memory, L"WeekStart", 1);
    ReadSetting(*m_memory, L"Unknown");
    GetDefaultSetting(L"HighlightDays");
    m_memory->Deny(kCurrentUser, kSettingsPath, access::kSetValue | access::kQueryValue);
    ReadSetting(*m_memory, L"ShowTimeHint");
    WriteSetting(*m_memory, L"ShowTimeHint", 0);
    FailingValueWrites failing(*m_memory);
    WriteSetting(failing, L"FileCount", 15);
    m_memory->Deny(kCurrentUser, L"Software", access::kCreateSubKey);
    WriteSetting(*m_memory, L"FileCount", 15);
    ReadSetting(L"FileCount");
    WriteSetting(L"FileCount", 10);
    EXPECT_EQ(probe.Finish(), 0u);
    EXPECT_EQ(testing::DeleteTree(registry::SystemRegistry(), kCurrentUser, L"Software\\Quenbridge"), win32::kSuccess);
}

}  // namespace
}  // namespace tessaly
