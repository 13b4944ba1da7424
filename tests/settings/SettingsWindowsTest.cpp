// Refusals by the real registry. A volatile key cannot have non-volatile
// subkeys, so a volatile company key makes the real registry refuse the
// application key the store creates (it creates keys non-volatile).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/registry/SystemRegistry.h"
#include "settings/Settings.h"
#include "tests/platform/registry/RegistryProbe.h"

namespace tessaly {
namespace {

constexpr const wchar_t* kCompanyPath = L"Software\\Quenbridge";
constexpr const wchar_t* kSettingsPath = L"Software\\Quenbridge\\Tessaly";

class RealRegistryRefusalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(testing::DeleteTree(registry::SystemRegistry(), registry::kCurrentUser, kCompanyPath),
                  win32::kSuccess);
        HKEY company = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kCompanyPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, &company, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(company);
    }
    void TearDown() override {
        EXPECT_EQ(testing::DeleteTree(registry::SystemRegistry(), registry::kCurrentUser, kCompanyPath),
                  win32::kSuccess);
    }
};

TEST_F(RealRegistryRefusalTest, ARefusedApplicationKeyMeansNoWriteAndNoKey) {
    EXPECT_FALSE(WriteSetting(L"FileCount", 15));
    EXPECT_FALSE(testing::KeyExists(registry::SystemRegistry(), registry::kCurrentUser, kSettingsPath));
    EXPECT_EQ(ReadSetting(L"FileCount"), 10);
    EXPECT_FALSE(testing::KeyExists(registry::SystemRegistry(), registry::kCurrentUser, kSettingsPath));
    EXPECT_EQ(testing::ReadStored(registry::SystemRegistry(), registry::kCurrentUser, kCompanyPath, L"FileCount").error,
              win32::kFileNotFound)
        << "the value went to the company key";
}

}  // namespace
}  // namespace tessaly
