#include "options/OptionsPage_Uninstall.h"

#include <shellapi.h>

#include <string>

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "platform/win/HandleOwners.h"
#include "platform/win/ShellExecuteError.h"
#include "resources/ResourceIds.h"

namespace tessaly {
namespace {

// A process handle from ShellExecuteExW: null when no process was started.
struct ProcessHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};

// The installer program by its full path in the system folder. A bare name
// would be looked for in a search that can begin in the host program's
// current folder, where any file of that name would be started instead.
std::wstring InstallerPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length) + L"\\msiexec.exe";
}

}  // namespace

OptionsPage_Uninstall::OptionsPage_Uninstall() : CPropertyPage(IDD_UNINSTALL) {}

OptionsPage_Uninstall::~OptionsPage_Uninstall() = default;

ui::MessageMap OptionsPage_Uninstall::GetMessageMap() const {
    using Page = OptionsPage_Uninstall;
    static const ui::MessageMapEntry entries[] = {
        ui::OnCommand<Page>(BN_CLICKED, IDC_UNINSTALL, &Page::OnBnClickedButtonUninstall),
    };
    return ui::MakeMessageMap(entries);
}

void OptionsPage_Uninstall::OnBnClickedButtonUninstall() {
    const std::wstring parameters = std::wstring(L"/x {") + kProductCode + L"}";
    const std::wstring installer = InstallerPath();
    SHELLEXECUTEINFOW launch{};
    launch.cbSize = sizeof(launch);
    launch.fMask = SEE_MASK_NOCLOSEPROCESS;
    launch.lpVerb = L"open";
    launch.lpFile = installer.c_str();
    launch.lpParameters = parameters.c_str();
    launch.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&launch)) {
        // The installer runs on by itself; its handle is not needed.
        platform::UniqueHandle<ProcessHandleTraits> process(launch.hProcess);
    } else {
        WriteDebugLine({FormatSystemError(
            L"Tessaly: OptionsPage_Uninstall::OnBnClickedButtonUninstall/ShellExecuteEx failed",
            platform::ShellExecuteError(launch))});
    }
    // Closing the sheet is its Cancel: what was not applied is not written.
    ::PostMessageW(::GetParent(m_hWnd), WM_CLOSE, 0, 0);
}

}  // namespace tessaly
