#include "listing/FolderListing.h"

#include "listing/Ordering.h"
#include "platform/FileSystem.h"
#include "platform/Win32Values.h"

namespace tessaly {

void FolderListing::Clear() {
    m_files.clear();
    m_folder.clear();
}

void FolderListing::SetFolder(std::wstring folder) { m_folder = std::move(folder); }

void FolderListing::Scan(FileTimeKind kind, bool showHints, bool weekStartsOnSunday) {
    m_files.clear();
    if (m_folder.empty()) return;

    // A drive root already ends in a backslash; anything else, a forward
    // slash included, gets one.
    std::wstring prefix = m_folder;
    if (prefix.back() != L'\\') prefix.push_back(L'\\');

    {
        platform::DirectoryEnumeration entries(prefix + L"*");
        for (bool more = entries.HasEntry(); more; more = entries.Next()) {
            const std::wstring_view name = entries.Name();
            if (name == L"." || name == L"..") continue;
            // Every subfolder (links to folders included) is left out;
            // hidden, system and read-only files are listed.
            if (entries.Attributes() & win32::kFileAttributeDirectory) continue;
            m_files.emplace_back(prefix, name, kind, showHints, weekStartsOnSunday, m_clock);
        }
    }  // the enumeration is closed before the sort

    SortNewestFirst(m_files);
}

}  // namespace tessaly
