#pragma once
// Newest-first order of a scan's entries by their local sort time.
#include <list>

#include "listing/FileEntry.h"

namespace tessaly {

// True when a's time is later than b's; equal times give false both ways.
bool NewerFirst(const FileEntry& a, const FileEntry& b);

// Stable: entries with equal times keep the order in which the folder was
// enumerated. Entries whose time could not be read (zero) end up last. The
// list is relinked; no entry is copied.
void SortNewestFirst(std::list<FileEntry>& files);

// Back into the order in which the folder was enumerated (relinked too).
void SortByEnumeration(std::list<FileEntry>& files);

}  // namespace tessaly
