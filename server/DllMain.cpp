// The DLL's entry routine. The static objects are up before it runs; it only
// gives the application object its start-up and shut-down hooks, and does
// nothing when threads come and go.
#include <windows.h>

#include "framework/ui/WinApp.h"

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
    tessaly::ui::CWinApp* app = tessaly::ui::AfxGetApp();
    if (app == nullptr) return TRUE;
    try {
        if (reason == DLL_PROCESS_ATTACH) return app->InitInstance();
        if (reason == DLL_PROCESS_DETACH) app->ExitInstance();
    } catch (...) {
        // Nothing may escape into the loader; a start-up that throws fails the load.
        return reason != DLL_PROCESS_ATTACH;
    }
    return TRUE;
}
