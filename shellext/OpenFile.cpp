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
    execute.hwnd = owner;
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    // Whatever right to take the foreground this process holds (the file
    // manager's, or the one it passed on to the command's surrogate) goes to
    // whichever process shows the file: one started now, one already
    // running that a DDE conversation reaches, or a program the system
    // starts for it. Fails harmlessly without the right.
    ::AllowSetForegroundWindow(ASFW_ANY);
    if (!::ShellExecuteExW(&execute)) {
        const std::wstring text = FormatSystemError(L"::ShellExecuteEx failed", platform::ShellExecuteError(execute));
        throw std::runtime_error(platform::WideToNarrow(text, platform::CodePage::ThreadAnsi));
    }
}

}  // namespace tessaly::shellext
