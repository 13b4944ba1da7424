#include "shellext/OpenFile.h"

#include <windows.h>

#include <shellapi.h>

#include <stdexcept>

#include "diagnostics/ErrorText.h"
#include "platform/TextCodec.h"
#include "platform/win/ShellExecuteError.h"

namespace tessaly::shellext {

void OpenFile(const std::wstring& path, HWND owner) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.hwnd = owner;
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&execute)) {
        const std::wstring text = FormatSystemError(L"::ShellExecuteEx failed", platform::ShellExecuteError(execute));
        throw std::runtime_error(platform::WideToNarrow(text, platform::CodePage::ThreadAnsi));
    }
    if (execute.hProcess == nullptr) return;
    // The right to take the foreground that the file manager passed on to
    // this process goes on to the program (it fails harmlessly without it).
    if (owner != nullptr) ::AllowSetForegroundWindow(::GetProcessId(execute.hProcess));
    ::CloseHandle(execute.hProcess);
}

}  // namespace tessaly::shellext
