#pragma once
// The files of one folder (not of its subfolders), each stamped with one of
// its times, newest first. One listing per context-menu handler: its
// initialisation sets the folder, each menu list runs one Scan.
#include <list>
#include <string>

#include "listing/FileEntry.h"
#include "listing/FileTimeKind.h"
#include "platform/Clock.h"

namespace tessaly {

class FolderListing {
public:
    explicit FolderListing(UtcClock clock = platform::CurrentUtcTime) : m_clock(clock) {}

    // Destroys every entry and empties the folder.
    void Clear();
    // The folder as the shell gave it: a drive root with a trailing backslash,
    // other folders without one.
    void SetFolder(std::wstring folder);

    // Replaces Files with the folder's files stamped with the given time,
    // newest first. Trouble with the folder or single files is absorbed;
    // only memory exhaustion propagates (as std::bad_alloc).
    void Scan(FileTimeKind kind, bool showHints, bool weekStartsOnSunday);

    const std::wstring& Folder() const { return m_folder; }
    const std::list<FileEntry>& Files() const { return m_files; }

private:
    std::wstring m_folder;
    std::list<FileEntry> m_files;  // relinked, never copied, by the sort
    UtcClock m_clock;
};

}  // namespace tessaly
