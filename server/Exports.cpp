// The five exports of the in-process server. Each is a firewall: nothing
// thrown inside reaches the caller.
#include <windows.h>

#include "server/Registration.h"
#include "server/ServerObjects.h"
#include "server/TessalyModule.h"

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    try {
        return tessaly::TheClassMap().GetClassObject(classId, riid, object);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Our window layer keeps nothing alive between sheets, so the module's lock
// count alone decides.
STDAPI DllCanUnloadNow() {
    const tessaly::CTessalyModule* module = tessaly::TessalyModule();
    return module != nullptr && module->GetLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() { return tessaly::RegisterServer(); }

STDAPI DllUnregisterServer() { return tessaly::UnregisterServer(); }

STDAPI DllInstall(BOOL install, PCWSTR commandLine) { return tessaly::InstallServer(install, commandLine); }
