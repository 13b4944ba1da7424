#pragma once
// Each sheet test starts from a user whose settings are exactly what the
// test stores, and reads back what the sheet left in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>

#include "settings/Settings.h"
#include "tests/options/SheetDriver.h"

namespace tessaly::testing {

class SheetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The About page's link control; the handler loads it in the product.
        ASSERT_NE(::LoadLibraryW(L"riched32.dll"), nullptr);
    }
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }

    static void ClearSettings() {
        const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quenbridge");
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }
    static void Store(const wchar_t* name, std::int32_t value) { ASSERT_TRUE(WriteSetting(name, value)); }
    // The value as stored, without creating it as ReadSetting would.
    static std::optional<std::int32_t> Stored(const wchar_t* name) {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quenbridge\\Tessaly", name, RRF_RT_REG_DWORD, nullptr,
                           &value, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }
};

}  // namespace tessaly::testing
