#include "tools/shellhost/HandlerList.h"

#include <algorithm>

#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {
namespace {

const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

std::wstring DefaultValue(HKEY key) {
    wchar_t data[260] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::wstring();
    return data;
}

bool IsApproved(const std::wstring& classText) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey approved;
        if (::RegOpenKeyExW(root, kApprovedKey, 0, KEY_QUERY_VALUE, approved.put()) != ERROR_SUCCESS) continue;
        if (::RegQueryValueExW(approved.get(), classText.c_str(), nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            return true;
    }
    return false;
}

}  // namespace

const wchar_t* ClassKeyOf(ClickKind kind) {
    switch (kind) {
        case ClickKind::Folder: return L"Directory";
        case ClickKind::Drive: return L"Drive";
        case ClickKind::Background: break;
    }
    return L"Directory\\Background";
}

std::vector<HandlerEntry> RegisteredHandlers(ClickKind kind) {
    std::vector<HandlerEntry> handlers;
    const std::wstring path =
        std::wstring(L"Software\\Classes\\") + ClassKeyOf(kind) + L"\\ShellEx\\ContextMenuHandlers";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegKey list;
        if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, list.put()) != ERROR_SUCCESS) continue;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD length = ARRAYSIZE(name);
            const LONG status = ::RegEnumKeyExW(list.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            const auto taken = [&](const HandlerEntry& e) { return ::lstrcmpiW(e.name.c_str(), name) == 0; };
            if (std::any_of(handlers.begin(), handlers.end(), taken)) continue;
            HandlerEntry entry;
            entry.name = name;
            entry.perUser = root == HKEY_CURRENT_USER;
            RegKey handler;
            if (::RegOpenKeyExW(list.get(), name, 0, KEY_QUERY_VALUE, handler.put()) == ERROR_SUCCESS)
                entry.classText = DefaultValue(handler.get());
            if (entry.classText.empty()) entry.classText = entry.name;
            entry.validClass = SUCCEEDED(::CLSIDFromString(entry.classText.c_str(), &entry.clsid));
            entry.approved = entry.validClass && IsApproved(entry.classText);
            handlers.push_back(std::move(entry));
        }
    }
    return handlers;
}

}  // namespace tessaly::shellhost
