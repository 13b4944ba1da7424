#include "listing/Ordering.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tessaly {

namespace {
// Deliberately not CompareFileTime: the keys are 64-bit counts, and comparing
// them unsigned gives its very answer (only "later", its 1, counts here)
// without packing each key back into a FILETIME.
bool Later(FileTimeCount a, FileTimeCount b) { return a > b; }
}  // namespace

bool NewerFirst(const FileEntry& a, const FileEntry& b) { return Later(a.SortTime, b.SortTime); }

void SortNewestFirst(std::list<FileEntry>& files) {
    if (files.size() < 2) return;
    // A stable sort under NewerFirst, done on a compact copy of the keys with
    // the position of each entry (the entries themselves lie scattered on
    // the heap, and a merge sort of the list itself reads them again at
    // every pass), after which the list is relinked in the sorted order: no
    // entry is copied or moved.
    using Key = std::pair<FileTimeCount, std::list<FileEntry>::iterator>;
    std::vector<Key> keys;
    keys.reserve(files.size());
    for (auto entry = files.begin(); entry != files.end(); ++entry) keys.emplace_back(entry->SortTime, entry);
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return Later(a.first, b.first); });
    for (const Key& key : keys) files.splice(files.end(), files, key.second);
}

}  // namespace tessaly
