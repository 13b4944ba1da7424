#pragma once
// Creates a handler's object as the file manager does, through COM. A class
// registered for the current user only (regsvr32 /n /i:user) is one that COM
// under Wine cannot find, since Wine's HKEY_CLASSES_ROOT leaves out
// HKEY_CURRENT_USER\Software\Classes: such a class is created from its
// InprocServer32 module's own DllGetClassObject, as COM would on Windows,
// and the caller is told so.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win/HandleOwners.h"

namespace tessaly::shellhost {

class HandlerActivation {
public:
    HandlerActivation() = default;
    // Unloads the modules it loaded whose objects are all gone.
    ~HandlerActivation();
    HandlerActivation(const HandlerActivation&) = delete;
    HandlerActivation& operator=(const HandlerActivation&) = delete;

    // `note` says how the object came to be when COM did not create it.
    HRESULT Create(const CLSID& classId, const std::wstring& classText, REFIID iid, void** object,
                   std::wstring& note);

    // The class from `server`'s own DllGetClassObject, as COM would create
    // it from that module; `note` says why when the module fails.
    HRESULT CreateFromModule(const std::wstring& server, const CLSID& classId, REFIID iid, void** object,
                             std::wstring& note);

private:
    std::vector<platform::LoadedModule> m_modules;  // loaded here; kept while their objects may live
};

}  // namespace tessaly::shellhost
