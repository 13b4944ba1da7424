#pragma once
// The DLL's application object: the options sheet loads its dialogs, strings
// and icons from the module it names. Its start-up and shut-down hooks do no
// more than the window layer's own.
#include "framework/ui/WinApp.h"

namespace tessaly {

class CTessalyApp final : public ui::CWinApp {
public:
    CTessalyApp() noexcept : ui::CWinApp(nullptr) {}
    BOOL InitInstance() override { return ui::CWinApp::InitInstance(); }
    int ExitInstance() override { return ui::CWinApp::ExitInstance(); }
};

}  // namespace tessaly
