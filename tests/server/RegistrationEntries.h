#pragma once
// What registering the DLL puts into the registry, as RegistryContents lines:
// the entries of the two registration scripts under a classes root (HKCR, or
// the user's HKCU\Software\Classes), the approval value, and the NoRemove keys
// that unregistration keeps.
#include <array>
#include <string>

#include "RegistryContents.h"

namespace tessaly::testing {

#define TESSALY_HANDLER_CLASS L"{B922807E-EF82-4915-A30C-4C892F724740}"
// Inline: one of each for every test file. A file's own statics that use them
// are made on first use (clang's Windows targets may initialise those first).
inline const std::wstring kApplicationIdText = L"{733D43C3-335E-4248-9DA6-6223F64E3028}";
inline const std::wstring kApprovedKey =
    L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
inline const std::wstring kMachineClasses = L"HKLM\\Software\\Classes";
inline const std::wstring kUserClasses = L"HKCU\\Software\\Classes";

// The bitness of this test program and of its build's DLL (its AppID key: Tessaly64.DLL or Tessaly32.DLL).
constexpr int kOwnBits = static_cast<int>(sizeof(void*) * 8);

Lines AppIdEntries(const std::wstring& classes, int bits = kOwnBits);
// The handler class key, and the shell's three context-menu hooks.
Lines ClassEntries(const std::wstring& classes, const std::wstring& modulePath);
Lines HookEntries(const std::wstring& classes);
Lines HandlerClassEntries(const std::wstring& classes, const std::wstring& modulePath);
Lines ApprovalEntry();
Lines KeptKeys(const std::wstring& classes);
// What both DLLs write to keys the registry views share: the application identifier and the hooks.
Lines EntriesOfBothBuilds(const std::wstring& classes);
// The subtrees that registration writes (either build's), each to be
// compared whole.
Lines WatchedAreas(const std::wstring& classes);
// Those of them that 64-bit Windows keeps apart for 32-bit programs: the
// class key and the approval list.
Lines RedirectedAreas(const std::wstring& classes);

// One build registered machine-wide and per user, registered and removed in
// every order: each step registers or removes one mode.
struct ModeStep {
    bool perUser;
    bool doRegister;
};
constexpr ModeStep kMachineIn{false, true}, kUserIn{true, true}, kMachineOut{false, false}, kUserOut{true, false};
using ModeOrder = std::array<ModeStep, 4>;
constexpr ModeOrder kModeOrders[] = {
    {kMachineIn, kUserIn, kMachineOut, kUserOut},
    {kMachineIn, kUserIn, kUserOut, kMachineOut},
    {kUserIn, kMachineIn, kMachineOut, kUserOut},
    {kUserIn, kMachineIn, kUserOut, kMachineOut},
};
// "machine in, user in, machine out, user out"
std::string Described(const ModeOrder& order);
// What both registrations of a build leave once `registered` (machine, user)
// still stand, over a registry that held `before` (with every NoRemove key).
Lines ModesState(const Lines& before, const std::array<bool, 2>& registered, int bits,
                 const std::wstring& modulePath);

// A registration script of the source tree (resources/), read as the DLL
// reads its copy: 8-bit text in the system code page.
std::wstring ReadRegistrationScript(const std::string& resourceFolder, const char* fileName);
// The application identifier script of the DLL built for `bits`.
const char* AppIdScriptFile(int bits = kOwnBits);

}  // namespace tessaly::testing
