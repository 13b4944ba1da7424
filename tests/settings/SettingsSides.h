#pragma once
// The settings store as each test table sees it: through the overloads on a
// new user's in-memory registry, or through the public functions on the
// product's own registry (the real one on Windows).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/registry/MemoryRegistry.h"
#include "platform/registry/SystemRegistry.h"
#include "settings/Settings.h"
#include "tests/platform/registry/RegistryProbe.h"
#include "tests/platform/registry/RegistrySides.h"

namespace tessaly::testing {

constexpr const wchar_t* kCompanyPath = L"Software\\Quenbridge";
constexpr const wchar_t* kSettingsPath = L"Software\\Quenbridge\\Tessaly";

enum class StoreSide { Memory, Product };

inline std::string StoreSideName(const ::testing::TestParamInfo<StoreSide>& info) {
    return info.param == StoreSide::Memory ? "Memory" : "Product";
}

class SettingsStoreFixture : public ::testing::TestWithParam<StoreSide> {
protected:
    void SetUp() override {
        if (GetParam() == StoreSide::Memory) m_memory = NewUserMemoryRegistry();
        ASSERT_EQ(DeleteTree(registry(), registry::kCurrentUser, kCompanyPath), win32::kSuccess);
    }
    void TearDown() override {
        // The product's registry outlives the test: leave it as a new user's.
        EXPECT_EQ(DeleteTree(registry(), registry::kCurrentUser, kCompanyPath), win32::kSuccess);
        if (auto* memory = dynamic_cast<registry::MemoryRegistry*>(&registry())) {
            EXPECT_EQ(memory->OpenHandleCount(), 0u) << "a registry key was left open";
        }
    }

    registry::Registry& registry() {
        return m_memory ? static_cast<registry::Registry&>(*m_memory) : registry::SystemRegistry();
    }
    std::int32_t Read(const wchar_t* name) {
        return m_memory ? ReadSetting(*m_memory, name) : ReadSetting(name);
    }
    bool Write(const wchar_t* name, std::int32_t value) {
        return m_memory ? WriteSetting(*m_memory, name, value) : WriteSetting(name, value);
    }

    // Puts a value in place the way another program might have left it.
    void Preset(const wchar_t* name, std::uint32_t type, const Bytes& bytes) {
        registry::Key key;
        ASSERT_EQ(registry::CreateKey(registry(), registry::kCurrentUser, kSettingsPath,
                                      registry::access::kAllAccess, key),
                  win32::kSuccess);
        ASSERT_EQ(registry().SetValue(key.id(), name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())),
                  win32::kSuccess);
    }
    StoredValue Stored(const wchar_t* name) {
        return ReadStored(registry(), registry::kCurrentUser, kSettingsPath, name);
    }

    std::unique_ptr<registry::MemoryRegistry> m_memory;
};

}  // namespace tessaly::testing
