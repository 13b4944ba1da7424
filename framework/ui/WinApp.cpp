#include "framework/ui/WinApp.h"

// The base of the module this code is linked into (the linker provides it).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly::ui {
namespace {

CWinApp* g_app = nullptr;

HINSTANCE ThisModule() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace

CWinApp::CWinApp(const wchar_t* appName) noexcept : m_pszAppName(appName), m_hInstance(ThisModule()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() noexcept { return g_app; }

HINSTANCE ResourceInstance() noexcept { return g_app != nullptr ? g_app->m_hInstance : ThisModule(); }

}  // namespace tessaly::ui
