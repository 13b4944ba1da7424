// The DLL's entry routine. The static objects are up before it runs; it only
// gives the application object its start-up and shut-down hooks, and does
// nothing when threads come and go.
#include <windows.h>

// A header of the C++ library first: it defines __GLIBCXX__, which the
// 32-bit headers above do not bring in on their own.
#include <cstddef>

#include "framework/ui/WinApp.h"

namespace __gnu_cxx {
// The C++ runtime's release of what it keeps for the process's life.
void __freeres() noexcept;
}  // namespace __gnu_cxx

namespace {

// The C++ runtime linked into this DLL keeps a reserve of memory for
// exceptions that it never gives back, and the shell unloads and reloads an
// idle extension many times in one process: without this each unload would
// leave that reserve behind (about 73 KB). Only when the DLL is freed; at
// process exit nothing needs giving back.
void ReleaseRuntimeReserve(LPVOID reserved) noexcept {
#if defined(__GLIBCXX__)
    if (reserved == nullptr) __gnu_cxx::__freeres();
#else
    (void)reserved;
#endif
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) ReleaseRuntimeReserve(reserved);
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
