#include "listing/FolderListing.h"

#include <new>
#include <vector>

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "listing/Ordering.h"
#include "platform/FileSystem.h"
#include "platform/SystemErrors.h"
#include "platform/Win32Values.h"

namespace tessaly {

namespace {

// What one open found, handed to its entry; a file that cannot be opened
// gets its debug line here, on the scanning thread, in the enumeration's
// order. An attribute-only open is granted even while another program holds
// the file without sharing, so a locked file still yields its times; the
// tests' unreadable entry is therefore one that cannot be opened at all.
void TakeOpen(FileEntry& entry, platform::FileTimesResult result, const platform::FileTimes& times,
              Win32Error error) {
    switch (result) {
        case platform::FileTimesResult::Read: entry.TakeTimes(times); break;
        case platform::FileTimesResult::OpenFailed: {
            const wchar_t* text = FormatSystemError(L"", error);
            WriteDebugLine({L"Tessaly: CreateFile failed for file \"", entry.Path(), L"\" (", text, L")"});
            break;
        }
        case platform::FileTimesResult::ReadFailed: break;  // zero times, no message
    }
}

void OpenNow(const platform::DirectoryEnumeration& folder, FileEntry& entry, bool isLink) {
    platform::FileTimes times;
    const platform::FileTimesResult result = folder.ReadTimes(entry.Path(), isLink, times);
    TakeOpen(entry, result, times, platform::LastError());
}

// Puts an open aside for the parallel part; false when there is no memory
// for it (the open is then made at once).
bool PutAside(std::vector<PendingOpen>& pending, FileEntry& entry, bool isLink) {
    try {
        PendingOpen& open = pending.emplace_back();
        open.entry = &entry;
        open.isLink = isLink;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

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
        OpenPace pace(m_opens);
        std::vector<PendingOpen> pending;
        std::uint32_t index = 0;
        for (bool more = entries.HasEntry(); more; more = entries.Next()) {
            const std::wstring_view name = entries.Name();
            if (name == L"." || name == L"..") continue;
            // Every subfolder (links to folders included) is left out;
            // hidden, system and read-only files are listed.
            if (entries.Attributes() & win32::kFileAttributeDirectory) continue;
            FileEntry& entry = m_files.emplace_back(prefix, name, index++);
            if (pace.Parallel()) {
                if (PutAside(pending, entry, entries.IsLink())) continue;
                pace.FallBack();
            }
            OpenNow(entries, entry, entries.IsLink());
            entry.Stamp(kind, showHints, weekStartsOnSunday, m_clock);
            pace.Opened();
        }

        OpenInParallel(entries, pending, pace.Measured());
        for (const PendingOpen& open : pending) {
            if (open.done)
                TakeOpen(*open.entry, open.result, open.times, open.error);
            else
                OpenNow(entries, *open.entry, open.isLink);
            open.entry->Stamp(kind, showHints, weekStartsOnSunday, m_clock);
        }
    }  // the enumeration is closed before the sort

    SortNewestFirst(m_files);
}

void FolderListing::Restamp(FileTimeKind kind, bool showHints, bool weekStartsOnSunday) {
    // Back into the enumeration's order first: entries of equal times then
    // keep it, as in a new scan.
    SortByEnumeration(m_files);
    for (FileEntry& entry : m_files) entry.Stamp(kind, showHints, weekStartsOnSunday, m_clock);
    SortNewestFirst(m_files);
}

}  // namespace tessaly
