#pragma once
// The real registry's side of the script table (Windows only): the lines of
// chosen subtrees, in RegistryContents' layout, and their removal between rows.
#include "RegistryContents.h"

namespace tessaly::testing {

// viewFlags: 0 for the program's own registry view, or KEY_WOW64_32KEY or
// KEY_WOW64_64KEY for one of the two views of 64-bit Windows.
Lines ContentsOfSystemRegistry(const Lines& subtrees, unsigned long viewFlags = 0);
void RemoveFromSystemRegistry(const Lines& subtrees);

// From a 64-bit program: every area machine-wide registration writes, and, marked with kView32, the
// 32-bit view of the redirected ones (only those: Wine 8 reads shared keys through KEY_WOW64_32KEY
// below Wow6432Node).
inline const std::wstring kView32 = L"32-bit view: ";
Lines ContentsOfBothViews();

// Takes the right to change a key below HKEY_LOCAL_MACHINE (its values, its
// subkeys, the key itself) away from everyone while it lives.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const std::wstring& path);
    ~ReadOnlyKey();
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
    bool Applied() const { return m_applied; }

private:
    std::wstring m_path;
    std::vector<unsigned char> m_saved;
    bool m_applied = false;
};

}  // namespace tessaly::testing
