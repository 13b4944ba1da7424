#pragma once
// The module's application object: where the module's resources (dialog
// templates, strings, icons) come from, and the start-up and shut-down hooks
// that the module's entry routine calls. One per module; the layer keeps no
// other state of its own.
#include <windows.h>

namespace tessaly::ui {

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr) noexcept;
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once after the module is loaded; false fails the load.
    virtual BOOL InitInstance();
    // Called once before the module is unloaded; the result is the exit code.
    virtual int ExitInstance();

    const wchar_t* m_pszAppName;
    // The module that holds this code (the DLL in the product).
    HINSTANCE m_hInstance;
};

// The module's application object; null when the module has none (a test program).
CWinApp* AfxGetApp() noexcept;

// The module whose resources the sheets and pages load: the application's
// instance, or the module holding this code when there is no application.
HINSTANCE ResourceInstance() noexcept;

}  // namespace tessaly::ui
