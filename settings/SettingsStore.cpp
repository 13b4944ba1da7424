#include <string>

#include "platform/registry/SystemRegistry.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "settings/Settings.h"

namespace tessaly {

namespace {

using registry::Key;
using registry::kCurrentUser;
namespace access = registry::access;

constexpr const wchar_t* kSoftware = L"Software";
constexpr const wchar_t* kCompany = L"Quenbridge";
constexpr std::uint32_t kValueBytes = 4;

std::int32_t StoreDefault(registry::Registry& registry, const wchar_t* name) {
    const std::int32_t value = GetDefaultSetting(name);
    WriteSetting(registry, name, value);  // the default stands whether or not it could be kept
    return value;
}

}  // namespace

bool WriteSetting(registry::Registry& registry, const wchar_t* name, std::int32_t value) {
    if (name == nullptr) return false;
    Key company;
    {
        // Only the right to create subkeys is asked of Software: a user's
        // Software key may refuse more.
        Key software;
        if (registry::OpenKey(registry, kCurrentUser, kSoftware, access::kCreateSubKey, software) != win32::kSuccess)
            return false;
        if (registry::CreateKey(registry, software.id(), kCompany, access::kAllAccess, company) != win32::kSuccess)
            return false;
    }
    Key application;
    const std::wstring applicationName = resources::LoadText(IDS_APP_NAME);
    const Win32Error created =
        registry::CreateKey(registry, company.id(), applicationName.c_str(), access::kAllAccess, application);
    company.Close();
    if (created != win32::kSuccess) return false;

    const auto bits = static_cast<std::uint32_t>(value);
    const unsigned char data[kValueBytes] = {
        static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    return registry.SetValue(application.id(), name, registry::type::kDword, data, kValueBytes) == win32::kSuccess;
}

std::int32_t ReadSetting(registry::Registry& registry, const wchar_t* name) {
    if (name == nullptr) return GetDefaultSetting(name);
    const std::wstring path =
        std::wstring(kSoftware) + L"\\" + kCompany + L"\\" + resources::LoadText(IDS_APP_NAME);
    Key key;
    if (registry::OpenKey(registry, kCurrentUser, path.c_str(), access::kRead, key) != win32::kSuccess)
        return StoreDefault(registry, name);

    // Whatever the type: up to 4 bytes are the number, missing high bytes
    // zero; longer data does not fit and is replaced by the default.
    unsigned char data[kValueBytes] = {0, 0, 0, 0};
    std::uint32_t size = kValueBytes;
    const Win32Error queried = registry.QueryValue(key.id(), name, nullptr, data, size);
    key.Close();
    if (queried != win32::kSuccess) return StoreDefault(registry, name);
    const std::uint32_t bits = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                               static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return static_cast<std::int32_t>(bits);
}

bool WriteSetting(const wchar_t* name, std::int32_t value) {
    return WriteSetting(registry::SystemRegistry(), name, value);
}

std::int32_t ReadSetting(const wchar_t* name) { return ReadSetting(registry::SystemRegistry(), name); }

}  // namespace tessaly
