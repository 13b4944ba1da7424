// The DLL's entry routine. The static objects are up before it runs; it only
// gives the application object its start-up and shut-down hooks, and does
// nothing when threads come and go.
#include <windows.h>

#include "framework/ui/WinApp.h"

namespace __gnu_cxx {
// The C++ runtime's release of what it keeps for the process's life.
void __freeres() noexcept;
}  // namespace __gnu_cxx

namespace {

// Set when the DLL is freed while the process goes on (not at process exit).
bool g_unloading = false;

// The C++ runtime linked into this DLL keeps a reserve of memory for
// exceptions that it never gives back, and the shell unloads and reloads an
// idle extension many times in one process: without this each unload would
// leave that reserve behind (about 73 KB). Given back after every other
// static object of the DLL is gone (this one is made first, so it goes last),
// since a destructor that threw would still draw on it. At process exit
// nothing needs giving back.
struct RuntimeReserve {
    ~RuntimeReserve() {
#if defined(__GLIBCXX__)
        if (g_unloading) __gnu_cxx::__freeres();
#endif
    }
};
RuntimeReserve g_runtimeReserve __attribute__((init_priority(101)));

}  // namespace

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
    // The runtime destroys the static objects after this returns.
    if (reason == DLL_PROCESS_DETACH) g_unloading = reserved == nullptr;
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
