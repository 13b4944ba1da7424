#pragma once
// The Uninstall page: one button that starts the Windows Installer's removal
// of the product and closes the sheet, as Cancel would (changes not applied
// are dropped). The installer is not waited for and asks its own questions.
#include "framework/ui/PropertyPage.h"

namespace tessaly {

class OptionsPage_Uninstall : public ui::CPropertyPage {
public:
    OptionsPage_Uninstall();
    ~OptionsPage_Uninstall() override;

    // The installer's product code of Tessaly, without braces.
    static constexpr const wchar_t* kProductCode = L"DC530510-9407-45A9-9EFB-D4D0DF0B1E3A";

protected:
    ui::MessageMap GetMessageMap() const override;

private:
    void OnBnClickedButtonUninstall();
};

}  // namespace tessaly
