#include "server/ScriptNames.h"

#include "server/CaseFold.h"

namespace tessaly {

namespace {

struct RootName {
    std::wstring_view name;
    registry::KeyId key;
};

constexpr RootName kRootNames[] = {
    {L"HKCR", registry::kClassesRoot},      {L"HKEY_CLASSES_ROOT", registry::kClassesRoot},
    {L"HKCU", registry::kCurrentUser},      {L"HKEY_CURRENT_USER", registry::kCurrentUser},
    {L"HKLM", registry::kLocalMachine},     {L"HKEY_LOCAL_MACHINE", registry::kLocalMachine},
    {L"HKU", registry::kUsers},             {L"HKEY_USERS", registry::kUsers},
    {L"HKPD", registry::kPerformanceData},  {L"HKEY_PERFORMANCE_DATA", registry::kPerformanceData},
    {L"HKDD", registry::kDynData},          {L"HKEY_DYN_DATA", registry::kDynData},
    {L"HKCC", registry::kCurrentConfig},    {L"HKEY_CURRENT_CONFIG", registry::kCurrentConfig},
};

constexpr std::wstring_view kProtectedKeyNames[] = {
    L"AppID", L"CLSID", L"Component Categories", L"FileType", L"Interface", L"Hardware",
    L"Mime",  L"SAM",   L"SECURITY",             L"SYSTEM",   L"Software",  L"TypeLib",
};

}  // namespace

bool IsKeyword(std::wstring_view token, std::wstring_view keyword) { return SameTextIgnoringCase(token, keyword); }

bool FindRootKey(std::wstring_view name, registry::KeyId& root) {
    for (const RootName& entry : kRootNames) {
        if (SameTextIgnoringCase(name, entry.name)) {
            root = entry.key;
            return true;
        }
    }
    return false;
}

bool IsProtectedKeyName(std::wstring_view name) {
    for (std::wstring_view protectedName : kProtectedKeyNames) {
        if (SameTextIgnoringCase(name, protectedName)) return true;
    }
    return false;
}

}  // namespace tessaly
