// Arbitrary text through the registrar, registering and then unregistering,
// against a fresh in-memory registry that holds a little of everything: other
// software's keys, a refused key, and replacements with quotes, braces and
// percent signs. Crashes, sanitizer reports and hangs are the findings; a key
// left open, or an unregistration that adds or changes anything, is reported
// as a crash too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "platform/registry/MemoryRegistry.h"
#include "server/RegObject.h"
#include "server/RegistrationMode.h"

namespace {

using namespace tessaly;

void PlantOtherSoftware(registry::MemoryRegistry& registry) {
    for (const wchar_t* path : {L"CLSID\\{Other}\\InprocServer32", L"Directory\\ShellEx\\ContextMenuHandlers\\Other",
                                L"AppID\\Other.exe"}) {
        registry::Key key;
        registry::CreateKey(registry, registry::kClassesRoot, path, registry::access::kAllAccess, key);
        const wchar_t text[] = L"x";
        registry.SetValue(key.id(), L"", registry::type::kString, text, sizeof text);
    }
    registry.Deny(registry::kLocalMachine, L"Software\\Locked", registry::access::kSetValue);
    registry.Deny(registry::kCurrentUser, L"Software\\Classes\\Sealed", registry::access::kCreateSubKey);
}

void CheckNoKeyLeftOpen(const registry::MemoryRegistry& registry) {
    if (registry.OpenHandleCount() != 0) std::abort();
}

std::set<std::wstring> LinesOf(const registry::MemoryRegistry& registry) {
    std::set<std::wstring> lines;
    for (registry::KeyId root : {registry::kClassesRoot, registry::kCurrentUser, registry::kLocalMachine,
                                 registry::kUsers, registry::kPerformanceData, registry::kCurrentConfig,
                                 registry::kDynData}) {
        std::wistringstream dump(registry.Dump(root));
        for (std::wstring line; std::getline(dump, line);) lines.insert(std::to_wstring(root) + line);
    }
    return lines;
}

// Unregistering only ever deletes: every key and value afterwards was there
// before, unchanged.
void CheckOnlyDeleted(const std::set<std::wstring>& before, const std::set<std::wstring>& after) {
    if (!std::includes(before.begin(), before.end(), after.begin(), after.end())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the mode; the rest is the script, one character a
    // byte, up to the first null as a script text ends there.
    const bool perUser = (data[0] & 1) != 0;
    std::wstring script;
    for (std::size_t i = 1; i < size && data[i] != 0; ++i) script.push_back(static_cast<wchar_t>(data[i]));

    registry::MemoryRegistry registry;
    PlantOtherSoftware(registry);
    SetPerUserRegistration(perUser);
    {
        CRegObject registrar(registry);
        registrar.AddReplacement(L"APPID", L"{733D43C3-335E-4248-9DA6-6223F64E3028}");
        registrar.AddReplacement(L"Module", L"C:\\Team''s Tools\\T\u00EBssaly.dll");
        registrar.AddReplacement(L"Module_Raw", L"C:\\Team''s Tools\\T\u00EBssaly.dll");
        registrar.AddReplacement(L"Braces", L"} HKCR { '");
        registrar.AddReplacement(L"Percent", L"%Module%");
        registrar.RunScript(script.c_str(), true);
        CheckNoKeyLeftOpen(registry);
        const std::set<std::wstring> registered = LinesOf(registry);
        registrar.RunScript(script.c_str(), false);
        CheckNoKeyLeftOpen(registry);
        CheckOnlyDeleted(registered, LinesOf(registry));
    }
    SetPerUserRegistration(false);
    return 0;
}
