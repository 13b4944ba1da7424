#pragma once
// What registering the DLL puts into the registry, as RegistryContents lines:
// the entries of the two registration scripts under a classes root (HKCR, or
// the user's HKCU\Software\Classes), the approval value, and the NoRemove keys
// that unregistration keeps.
#include <string>

#include "RegistryContents.h"

namespace tessaly::testing {

#define TESSALY_HANDLER_CLASS L"{B922807E-EF82-4915-A30C-4C892F724740}"
extern const std::wstring kApplicationIdText;
extern const std::wstring kApprovedKey;
extern const std::wstring kMachineClasses;  // HKCR
extern const std::wstring kUserClasses;     // HKCU\Software\Classes

Lines AppIdEntries(const std::wstring& classes);
Lines HandlerClassEntries(const std::wstring& classes, const std::wstring& modulePath);
Lines ApprovalEntry();
Lines KeptKeys(const std::wstring& classes);
// The subtrees that registration writes, each to be compared whole.
Lines WatchedAreas(const std::wstring& classes);

}  // namespace tessaly::testing
