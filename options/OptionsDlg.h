#pragma once
// The options sheet: Settings, About and Uninstall, in that tab order. The
// pages live only for one modal run; nothing outlives the sheet but what the
// Settings page wrote to the registry.
#include "framework/ui/PropertySheet.h"

namespace tessaly {

class OptionsDlg : public ui::CPropertySheet {
public:
    OptionsDlg(const wchar_t* caption, HWND parent, UINT startPage);
    ~OptionsDlg() override;

    const char* GetRuntimeClassName() const override;
    INT_PTR DoModal() override;
};

}  // namespace tessaly
