#include "listing/Ordering.h"

namespace tessaly {

bool NewerFirst(const FileEntry& a, const FileEntry& b) { return a.SortTime > b.SortTime; }

void SortNewestFirst(std::list<FileEntry>& files) {
    // std::list::sort is a stable merge sort that relinks nodes: no entry is copied.
    files.sort(NewerFirst);
}

}  // namespace tessaly
