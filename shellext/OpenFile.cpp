#include "shellext/OpenFile.h"

#include <windows.h>

#include <shellapi.h>

#include <stdexcept>

#include "diagnostics/ErrorText.h"
#include "platform/TextCodec.h"
#include "platform/win/ShellExecuteError.h"

namespace tessaly::shellext {

void OpenFile(const std::wstring& path) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&execute)) {
        const std::wstring text = FormatSystemError(L"::ShellExecuteEx failed", platform::ShellExecuteError(execute));
        throw std::runtime_error(platform::WideToNarrow(text, platform::CodePage::ThreadAnsi));
    }
    if (execute.hProcess != nullptr) ::CloseHandle(execute.hProcess);
}

}  // namespace tessaly::shellext
