#include "SystemRegistryContents.h"

#include "RegistrationEntries.h"

#include <windows.h>

#include <sddl.h>

#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace tessaly::testing {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
// Closed however the walk ends, a failure thrown in it included.
using OwnedKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

OwnedKey OpenSubtree(const std::wstring& path, REGSAM view) {
    std::wstring below;
    const registry::KeyId root = RootOf(path, below);
    HKEY key = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(reinterpret_cast<HKEY>(root), below.c_str(), 0, KEY_READ | view, &key);
    if (status == ERROR_FILE_NOT_FOUND) return nullptr;
    if (status != ERROR_SUCCESS) throw std::runtime_error("cannot read a watched registry key");
    return OwnedKey(key);
}

void AddValueLines(HKEY key, const std::wstring& path, Lines& lines) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    // The largest value name and data the registry allows; kept off the stack,
    // which the walk of nested keys also needs.
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status =
            ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) return;
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot list a watched value");
        std::wstring line = path + L" [" + (nameLength == 0 ? L"@" : std::wstring(name.data(), nameLength)) + L"] type " +
                            std::to_wstring(type) + L" =";
        for (DWORD i = 0; i < dataSize; ++i) {
            line += L' ';
            line += kHex[data[i] >> 4];
            line += kHex[data[i] & 0xF];
        }
        lines.push_back(line);
    }
}

void AddKeyLines(HKEY key, const std::wstring& path, REGSAM view, Lines& lines) {
    lines.push_back(path);
    AddValueLines(key, path, lines);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        const LSTATUS status = ::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return;
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot list a watched key");
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(key, name, 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
            throw std::runtime_error("cannot open a watched key");
        const OwnedKey subKey(opened);
        AddKeyLines(subKey.get(), path + L"\\" + std::wstring(name, nameLength), view, lines);
    }
}

}  // namespace

Lines ContentsOfSystemRegistry(const Lines& subtrees, unsigned long viewFlags) {
    Lines lines;
    for (const std::wstring& subtree : subtrees) {
        const OwnedKey key = OpenSubtree(subtree, viewFlags);
        if (key) AddKeyLines(key.get(), subtree, viewFlags, lines);
    }
    return Sorted(std::move(lines));
}

void RemoveFromSystemRegistry(const Lines& subtrees) {
    for (const std::wstring& subtree : subtrees) {
        std::wstring below;
        const registry::KeyId root = RootOf(subtree, below);
        const LSTATUS status = ::RegDeleteTreeW(reinterpret_cast<HKEY>(root), below.c_str());
        if (status == ERROR_SUCCESS) ::RegDeleteKeyW(reinterpret_cast<HKEY>(root), below.c_str());
        else if (status != ERROR_FILE_NOT_FOUND) throw std::runtime_error("cannot clear a watched key");
    }
}

Lines ContentsOfBothViews() {
    Lines lines = ContentsOfSystemRegistry(WatchedAreas(kMachineClasses));
    for (const std::wstring& line : ContentsOfSystemRegistry(RedirectedAreas(kMachineClasses), KEY_WOW64_32KEY))
        lines.push_back(kView32 + line);
    return Sorted(std::move(lines));
}

ReadOnlyKey::ReadOnlyKey(const std::wstring& path) : m_path(path) {
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                nullptr))
        throw std::runtime_error("cannot make a descriptor");
    HKEY key = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key);
    DWORD size = 0;
    ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    m_saved.resize(size);
    ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, m_saved.data(), &size);
    m_applied = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    ::LocalFree(readOnly);
}

ReadOnlyKey::~ReadOnlyKey() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_saved.data());
        ::RegCloseKey(key);
    }
}

}  // namespace tessaly::testing
