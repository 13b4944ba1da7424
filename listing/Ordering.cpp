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

// A stable sort by a key of each entry, done on a compact copy of the keys
// with the position of each entry (the entries themselves lie scattered on
// the heap, and a merge sort of the list itself reads them again at every
// pass), after which the list is relinked in the sorted order: no entry is
// copied or moved.
template <typename Key, typename Before>
void RelinkSorted(std::list<FileEntry>& files, Key (*key)(const FileEntry&), Before before) {
    if (files.size() < 2) return;
    using Position = std::pair<Key, std::list<FileEntry>::iterator>;
    std::vector<Position> keys;
    keys.reserve(files.size());
    for (auto entry = files.begin(); entry != files.end(); ++entry) keys.emplace_back(key(*entry), entry);
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const Position& a, const Position& b) { return before(a.first, b.first); });
    for (const Position& position : keys) files.splice(files.end(), files, position.second);
}

FileTimeCount SortTimeOf(const FileEntry& entry) { return entry.SortTime; }
std::uint32_t IndexOf(const FileEntry& entry) { return entry.EnumerationIndex(); }
}  // namespace

bool NewerFirst(const FileEntry& a, const FileEntry& b) { return Later(a.SortTime, b.SortTime); }

void SortNewestFirst(std::list<FileEntry>& files) { RelinkSorted(files, SortTimeOf, Later); }

void SortByEnumeration(std::list<FileEntry>& files) {
    RelinkSorted(files, IndexOf, [](std::uint32_t a, std::uint32_t b) { return a < b; });
}

}  // namespace tessaly
