// The two registration scripts of the DLL, registered and unregistered the
// way registration runs them, on a registry that already holds other
// software's entries: registration adds exactly its entries, unregistration
// leaves everything as it was apart from the NoRemove keys.
#include <gtest/gtest.h>

#include "RegistrationEntries.h"
#include "RegistryContents.h"
#include "server/RegObject.h"
#include "server/RegistrationMode.h"
#include "server/RegistrationTarget.h"
#ifdef _WIN32
#include "SystemRegistryContents.h"
#include "platform/registry/WindowsRegistry.h"
#endif

namespace tessaly::testing {
namespace {

// A single quote and a character outside ASCII: the path must arrive intact.
const std::wstring kModulePath = L"C:\\Team's Tools\\T\u00EBssaly\\Tessaly64.dll";

const std::wstring& AppIdScript(int bits = kOwnBits) {
    static const std::wstring text64 = ReadRegistrationScript(TESSALY_RESOURCE_DIR, AppIdScriptFile(64));
    static const std::wstring text32 = ReadRegistrationScript(TESSALY_RESOURCE_DIR, AppIdScriptFile(32));
    return bits == 64 ? text64 : text32;
}
const std::wstring& HandlerScript() {
    static const std::wstring text = ReadRegistrationScript(TESSALY_RESOURCE_DIR, "HandlerRegistration.rgs");
    return text;
}

// One script run as registration makes it: a fresh registrar on the
// registry as registration sees it, with the script's own table, then the
// module's replacements.
HResult RunScript(registry::Registry& registry, const std::wstring& text, bool doRegister, bool appIdTable) {
    std::wstring escaped;
    for (wchar_t c : kModulePath) escaped += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
    RegistrationTarget target(registry, TESSALY_HANDLER_CLASS, IsPerUserRegistration(), !doRegister);
    CRegObject registrar(target.Registry());
    if (appIdTable) registrar.AddReplacement(L"APPID", kApplicationIdText.c_str());
    registrar.AddReplacement(L"APPID", kApplicationIdText.c_str());
    registrar.AddReplacement(L"Module", escaped.c_str());
    registrar.AddReplacement(L"Module_Raw", escaped.c_str());
    return registrar.RunScript(text.c_str(), doRegister);
}

HResult Register(registry::Registry& registry, int bits = kOwnBits) {
    const HResult appId = RunScript(registry, AppIdScript(bits), true, true);
    return hr::Failed(appId) ? appId : RunScript(registry, HandlerScript(), true, false);
}
HResult Unregister(registry::Registry& registry, int bits = kOwnBits) {
    const HResult handler = RunScript(registry, HandlerScript(), false, false);
    return hr::Failed(handler) ? handler : RunScript(registry, AppIdScript(bits), false, true);
}

// Other software's entries, and the keys a user's profile always has.
// Nothing below Drive, so registration has to make those NoRemove keys.
// Made on first use: clang's Windows targets may run this file's static
// initialisers before those of the inline names it is built from.
const std::vector<Seed>& OtherSoftware() {
    static const std::vector<Seed> seeds = {
        {kMachineClasses + L"\\CLSID\\{00000000-0000-0000-0000-0000000000A1}", L"", L"Other class"},
        {kMachineClasses + L"\\AppID\\Other.exe", L"AppID", L"{00000000-0000-0000-0000-0000000000A2}"},
        {kMachineClasses + L"\\Directory\\Background\\ShellEx\\ContextMenuHandlers\\Other", L"",
         L"{00000000-0000-0000-0000-0000000000A1}"},
        {kApprovedKey, L"{00000000-0000-0000-0000-0000000000A1}", L"Other"},
        {L"HKCU\\Software\\Classes\\.txt", L"", L"txtfile"},
    };
    return seeds;
}

class PerUserMode {
public:
    explicit PerUserMode(bool perUser) { SetPerUserRegistration(perUser); }
    ~PerUserMode() { SetPerUserRegistration(false); }
};

class RegistrationScripts : public ::testing::TestWithParam<bool> {
protected:
    bool PerUser() const { return GetParam(); }
    const std::wstring& Classes() const { return PerUser() ? kUserClasses : kMachineClasses; }
};

TEST_P(RegistrationScripts, RoundTripOnTheMemoryRegistry) {
    registry::MemoryRegistry registry;
    Plant(registry, OtherSoftware());
    const Lines before = ContentsOf(registry);
    PerUserMode mode(PerUser());

    ASSERT_EQ(Register(registry), hr::kOk);
    EXPECT_EQ(ContentsOf(registry),
              State({before, AppIdEntries(Classes()), HandlerClassEntries(Classes(), kModulePath),
                     ApprovalEntry()}));
    // Registering again over the first registration changes nothing.
    ASSERT_EQ(Register(registry), hr::kOk);
    EXPECT_EQ(ContentsOf(registry),
              State({before, AppIdEntries(Classes()), HandlerClassEntries(Classes(), kModulePath),
                     ApprovalEntry()}));

    ASSERT_EQ(Unregister(registry), hr::kOk);
    EXPECT_EQ(ContentsOf(registry), Union(before, KeptKeys(Classes())));
    // Nothing left to unregister still succeeds.
    EXPECT_EQ(Unregister(registry), hr::kOk);
    EXPECT_EQ(ContentsOf(registry), Union(before, KeptKeys(Classes())));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// Per-user registration by a user who may not write the approval list: the
// handler's class block stays registered under the user's classes, the
// approval block is undone, and unregistration stops at the approval block,
// leaving the application identifier.
TEST(RegistrationScriptsRefused, ApprovalListWithoutWriteAccess) {
    constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);
    registry::MemoryRegistry registry;
    Plant(registry, OtherSoftware());
    std::wstring approvedBelow;
    registry.Deny(RootOf(kApprovedKey, approvedBelow), approvedBelow, registry::access::kSetValue);
    const Lines before = ContentsOf(registry);
    PerUserMode mode(true);

    EXPECT_EQ(Register(registry), kAccessDenied);
    EXPECT_EQ(ContentsOf(registry),
              State({before, AppIdEntries(kUserClasses), HandlerClassEntries(kUserClasses, kModulePath)}));

    EXPECT_EQ(Unregister(registry), kAccessDenied);
    EXPECT_EQ(ContentsOf(registry), State({before, AppIdEntries(kUserClasses), KeptKeys(kUserClasses)}));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// The same user's removal beside the machine-wide registration, which keeps
// the approval: it never asks to write it, and takes all of his.
TEST(RegistrationScriptsRefused, ApprovalListWithoutWriteAccessBesideTheMachinesRegistration) {
    registry::MemoryRegistry registry(registry::ClassesRoot::Merged);
    Plant(registry, OtherSoftware());
    const Lines before = ContentsOf(registry);
    ASSERT_EQ(Register(registry), hr::kOk);
    PerUserMode mode(true);
    ASSERT_EQ(Register(registry), hr::kOk);
    std::wstring approvedBelow;
    registry.Deny(RootOf(kApprovedKey, approvedBelow), approvedBelow, registry::access::kSetValue);

    EXPECT_EQ(Unregister(registry), hr::kOk);
    EXPECT_EQ(ContentsOf(registry), State({before, AppIdEntries(kMachineClasses), ApprovalEntry(),
                                           HandlerClassEntries(kMachineClasses, kModulePath), KeptKeys(kUserClasses)}));
}

// Machine-wide and per-user registrations of one build, registered and
// removed in every order, on a registry that merges the user's classes over
// the machine's as Windows does: each run writes and deletes only its own
// classes, the approval stays while either registration does, and the
// registry ends as it began (its NoRemove keys were there before).
TEST(RegistrationModes, EachModeRemovesOnlyWhatItWroteInEveryOrder) {
    for (const int bits : {64, 32}) {
        for (const ModeOrder& order : kModeOrders) {
            SCOPED_TRACE(std::to_string(bits) + "-bit build: " + Described(order));
            registry::MemoryRegistry registry(registry::ClassesRoot::Merged);
            std::vector<Seed> keptKeys;
            for (const std::wstring& key : Union(KeptKeys(kMachineClasses), KeptKeys(kUserClasses)))
                keptKeys.emplace_back(key);
            Plant(registry, keptKeys);
            const Lines before = ContentsOf(registry);
            std::array<bool, 2> registered = {};  // machine, user
            for (const ModeStep& step : order) {
                PerUserMode mode(step.perUser);
                ASSERT_EQ(step.doRegister ? Register(registry, bits) : Unregister(registry, bits), hr::kOk);
                registered[step.perUser] = step.doRegister;
                EXPECT_EQ(ContentsOf(registry), ModesState(before, registered, bits, kModulePath));
            }
            EXPECT_EQ(registry.OpenHandleCount(), 0u);
        }
    }
}

#ifdef _WIN32
TEST_P(RegistrationScripts, RoundTripOnTheSystemRegistry) {
    registry::WindowsRegistry registry;
    const Lines watched = Union(WatchedAreas(kMachineClasses), WatchedAreas(kUserClasses));
    const Lines before = ContentsOfSystemRegistry(watched);
    PerUserMode mode(PerUser());

    ASSERT_EQ(Register(registry), hr::kOk);
    EXPECT_EQ(ContentsOfSystemRegistry(watched),
              Union(before, Within(State({AppIdEntries(Classes()), HandlerClassEntries(Classes(), kModulePath),
                                          ApprovalEntry()}),
                                   watched)));

    ASSERT_EQ(Unregister(registry), hr::kOk);
    EXPECT_EQ(ContentsOfSystemRegistry(watched), Union(before, Within(KeptKeys(Classes()), watched)));
}
#endif

INSTANTIATE_TEST_SUITE_P(Modes, RegistrationScripts, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                             return std::string(mode.param ? "PerUser" : "Machine");
                         });

}  // namespace
}  // namespace tessaly::testing
