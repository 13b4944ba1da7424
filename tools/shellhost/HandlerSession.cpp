#include "tools/shellhost/HandlerSession.h"

#include <algorithm>
#include <cstdio>

namespace tessaly::shellhost {

std::wstring HresultText(HRESULT result) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}

std::wstring SystemMessage(HRESULT result) {
    const DWORD code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
    wchar_t text[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                          text, ARRAYSIZE(text), nullptr);
    std::wstring words(text, length);
    for (wchar_t& c : words)
        if (c == L'\r' || c == L'\n') c = L' ';
    const std::size_t end = words.find_last_not_of(L' ');
    return end == std::wstring::npos ? L"no message for it" : words.substr(0, end + 1);
}

std::wstring ResultInWords(HRESULT result) { return HresultText(result) + L" (" + SystemMessage(result) + L")"; }

void HandlerSession::Load(const std::vector<HandlerEntry>& entries, ClickKind kind, const ClickTarget& target,
                          HMENU menu, std::uint32_t idFirst, std::uint32_t idLast, std::uint32_t flags,
                          const Report& report) {
    RegKey classKey;
    ::RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKeyOf(kind), 0, KEY_READ, classKey.put());
    std::uint32_t next = idFirst;
    for (const HandlerEntry& entry : entries) {
        const std::wstring name =
            L"handler " + entry.name + L" " + entry.classText + (entry.perUser ? L" (this user's)" : L"") + L": ";
        if (!entry.validClass) {
            report(name + L"not a class id, skipped");
            continue;
        }
        if (!entry.approved) {
            report(name + L"not approved, skipped");
            continue;
        }
        ComPtr<IShellExtInit> init;
        std::wstring note;
        HRESULT result = m_activation.Create(entry.clsid, entry.classText, IID_IShellExtInit, init.put_void(), note);
        if (!note.empty()) report(name + note);
        if (FAILED(result)) {
            report(name + (note.empty() ? L"CoCreateInstance" : L"creating it") + L" failed with " + HresultText(result));
            continue;
        }
        // A broken class factory may answer success and give nothing.
        if (!init) {
            report(name + L"created without an object (" + HresultText(result) + L" and a null pointer), skipped");
            continue;
        }
        result = init->Initialize(target.folder.get(), target.data.get(), classKey.get());
        if (FAILED(result)) {
            report(name + L"Initialize failed with " + HresultText(result));
            continue;
        }
        LoadedHandler loaded{entry, init.As<IContextMenu>(IID_IContextMenu), {}};
        if (!loaded.menu) {
            report(name + L"no IContextMenu");
            continue;
        }
        if (next > idLast) {
            report(name + L"no command ids left, skipped");
            continue;
        }
        const UINT position = static_cast<UINT>(std::max(::GetMenuItemCount(menu), 0));
        result = loaded.menu->QueryContextMenu(menu, position, next, idLast, flags);
        if (FAILED(result)) {
            report(name + L"QueryContextMenu failed with " + HresultText(result));
            continue;
        }
        // HRESULT_CODE is a long: clang (the ARM64 build) refuses to narrow it unasked.
        loaded.range = {next, static_cast<std::uint32_t>(HRESULT_CODE(result))};
        report(name + L"QueryContextMenu used " + std::to_wstring(loaded.range.count) + L" ids from " +
               std::to_wstring(next));
        next += loaded.range.count;
        m_handlers.push_back(std::move(loaded));
    }
}

const LoadedHandler* HandlerSession::OwnerOf(std::uint32_t id) const {
    for (const LoadedHandler& handler : m_handlers)
        if (handler.range.Contains(id)) return &handler;
    return nullptr;
}

bool HandlerSession::ForwardMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    for (const LoadedHandler& handler : m_handlers) {
        if (auto menu3 = handler.menu.As<IContextMenu3>(IID_IContextMenu3)) {
            if (menu3->HandleMenuMsg2(message, wParam, lParam, &result) == S_OK) return true;
        } else if (auto menu2 = handler.menu.As<IContextMenu2>(IID_IContextMenu2)) {
            if (menu2->HandleMenuMsg(message, wParam, lParam) == S_OK) {
                result = 0;
                return true;
            }
        }
    }
    return false;
}

}  // namespace tessaly::shellhost
