#pragma once
// The files of one folder (not of its subfolders), each stamped with one of
// its times, newest first. One listing per context-menu handler: its
// initialisation sets the folder; the first list of a menu scans, the second
// stamps the same entries with the other time.
#include <list>
#include <string>

#include "listing/FileEntry.h"
#include "listing/FileTimeKind.h"
#include "listing/ParallelOpens.h"
#include "platform/Clock.h"

namespace tessaly {

class FolderListing {
public:
    explicit FolderListing(UtcClock clock = platform::CurrentUtcTime, ScanOpens opens = ScanOpens::Measured)
        : m_clock(clock), m_opens(opens) {}

    // Destroys every entry and empties the folder.
    void Clear();
    // The folder as the shell gave it: a drive root with a trailing backslash,
    // other folders without one.
    void SetFolder(std::wstring folder);

    // Replaces Files with the folder's files stamped with the given time,
    // newest first. Each file is opened once; the results are the same
    // whether the opens run one after another or several at once. Trouble
    // with the folder or single files is absorbed; only memory exhaustion
    // propagates (as std::bad_alloc).
    void Scan(FileTimeKind kind, bool showHints, bool weekStartsOnSunday);
    // Stamps the entries of the last Scan again with the given time, from
    // the times that its opens read, and sorts them as a new Scan of the
    // unchanged folder would: no file is opened again. A menu's second list.
    void Restamp(FileTimeKind kind, bool showHints, bool weekStartsOnSunday);

    const std::wstring& Folder() const { return m_folder; }
    const std::list<FileEntry>& Files() const { return m_files; }

private:
    std::wstring m_folder;
    std::list<FileEntry> m_files;  // relinked, never copied, by the sort
    UtcClock m_clock;
    ScanOpens m_opens;
};

}  // namespace tessaly
