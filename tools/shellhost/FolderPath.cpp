#include "tools/shellhost/FolderPath.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "tools/shellhost/HandlerSession.h"

namespace tessaly::shellhost {
namespace {

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring FullPath(const std::wstring& path) {
    std::vector<wchar_t> full(MAX_PATH);
    DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    return length > 0 && length < full.size() ? std::wstring(full.data(), length) : std::wstring();
}

}  // namespace

FolderPath ResolveFolder(ClickKind kind, const std::wstring& given) {
    FolderPath result;
    std::wstring path = given;
    if (UnderWine())
        if (const auto onDriveZ = DriveZPathOf(given)) path = *onDriveZ;
    const std::wstring full = FullPath(path);
    if (full.empty()) {
        result.problem = L"\"" + given + L"\" is not a path: " + SystemMessage(HRESULT_FROM_WIN32(::GetLastError()));
        return result;
    }
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.problem = L"cannot use " + full + L": " + SystemMessage(HRESULT_FROM_WIN32(::GetLastError()));
        return result;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        result.problem = full + L" is a file, not a folder: give the folder that holds it";
        return result;
    }
    if (kind == ClickKind::Drive && !::PathIsRootW(full.c_str())) {
        result.problem = full + L" is not a drive (such as C:\\)";
        return result;
    }
    result.path = full;
    return result;
}

std::wstring ResolveFolders(ClickKind kind, std::vector<std::wstring>& paths) {
    for (std::wstring& path : paths) {
        FolderPath folder = ResolveFolder(kind, path);
        if (!folder.problem.empty()) return folder.problem;
        path = std::move(folder.path);
    }
    return {};
}

}  // namespace tessaly::shellhost
