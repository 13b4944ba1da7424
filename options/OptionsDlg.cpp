#include "options/OptionsDlg.h"

#include <atomic>

#include "options/OptionsPage_About.h"
#include "options/OptionsPage_Settings.h"
#include "options/OptionsPage_Uninstall.h"
#include "platform/win/SystemLibrary.h"

namespace tessaly {

OptionsDlg::OptionsDlg(const wchar_t* caption, HWND parent, UINT startPage)
    : CPropertySheet(caption, parent, startPage) {}

OptionsDlg::~OptionsDlg() = default;

const char* OptionsDlg::GetRuntimeClassName() const { return "OptionsDlg"; }

INT_PTR OptionsDlg::DoModal() {
    // The About page's link is a rich edit control of RICHED32.DLL's class.
    // Whoever opens the sheet, in whatever process, the class is there:
    // loaded from the system folder and kept for the process's life. A load
    // that failed is tried again by the next sheet; two sheets opened at
    // once may each load it, which only counts the library twice.
    static std::atomic<HMODULE> richEdit{nullptr};
    if (richEdit.load() == nullptr) richEdit.store(platform::LoadSystemLibrary(L"riched32.dll"));
    OptionsPage_Settings settings;
    OptionsPage_About about;
    OptionsPage_Uninstall uninstall;
    AddPage(&settings);
    AddPage(&about);
    AddPage(&uninstall);
    const INT_PTR result = CPropertySheet::DoModal();
    // The pages go with this run (in reverse order, as locals); the sheet
    // must not keep their addresses.
    RemoveAllPages();
    return result;
}

}  // namespace tessaly
