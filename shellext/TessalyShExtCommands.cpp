// InvokeCommand and GetCommandString.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "diagnostics/EntryPoint.h"
#include "options/ShowOptions.h"
#include "platform/TextCodec.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "shellext/OpenFile.h"
#include "shellext/TessalyShExt.h"

namespace tessaly {

namespace {

// Bounded copies: at most cchMax characters, the terminator included.
void CopyWide(CHAR* buffer, UINT cchMax, const std::wstring& text) {
    if (buffer == nullptr || cchMax == 0) return;
    ::lstrcpynW(reinterpret_cast<wchar_t*>(buffer), text.c_str(), static_cast<int>(cchMax));
}
void CopyAnsi(CHAR* buffer, UINT cchMax, const std::wstring& text) {
    if (buffer == nullptr || cchMax == 0) return;
    const std::string narrow = platform::WideToNarrow(text, platform::CodePage::ThreadAnsi);
    ::lstrcpynA(buffer, narrow.c_str(), static_cast<int>(cchMax));
}

}  // namespace

STDMETHODIMP CTessalyShExt::InvokeCommand(CMINVOKECOMMANDINFO* pici) noexcept {
    return RunEntryPoint(L"InvokeCommand", E_INVALIDARG, [&](HResult& result) {
        if (pici == nullptr) return;
        // An offset only when no bit above 15 is set: on 64-bit Windows a
        // verb string's address may have bits 16 to 31 clear and higher
        // bits set. Verb strings are not accepted.
        const auto verb = reinterpret_cast<ULONG_PTR>(pici->lpVerb);
        if (verb > 0xFFFF) return;
        const auto offset = static_cast<std::int32_t>(verb);

        if (offset < m_itemCount) {
            const auto file = m_commandFiles.find(offset);
            if (file == m_commandFiles.end()) throw std::runtime_error("map::find failed");
            shellext::OpenFile(file->second);
            result = S_OK;
        } else if (offset == m_itemCount) {
            ShowOptionsSheet();
            result = S_OK;
        }
    });
}

STDMETHODIMP CTessalyShExt::GetCommandString(UINT_PTR idCmd, UINT uType, UINT*, CHAR* pszName, UINT cchMax) noexcept {
    return RunEntryPoint(L"GetCommandString", E_INVALIDARG, [&](HResult& result) {
        // Only offset 0 (the first file item, or "Options..." in a menu
        // without files) has a help text and a verb.
        if (idCmd != 0) return;
        if (uType & (GCS_HELPTEXTA | GCS_UNICODE)) {
            if (uType & GCS_UNICODE)
                CopyWide(pszName, cchMax, shellext::kHelpText);
            else
                CopyAnsi(pszName, cchMax, shellext::kHelpText);
        }
        if (uType == GCS_VERBA) CopyAnsi(pszName, cchMax, resources::LoadText(IDS_APP_NAME));
        if (uType == GCS_VERBW) CopyWide(pszName, cchMax, resources::LoadText(IDS_APP_NAME));
        result = S_OK;
    });
}

}  // namespace tessaly
