#pragma once
// What the soak hands the DLL, drawn from a seed: item lists, data objects
// with every kind of drop list, and settings of any value and type; and, for
// each, what a sound DLL makes of it.
#include <windows.h>

#include <shlobj.h>

#include <cstdint>
#include <string>

#include "tests/stress/StressHarness.h"

namespace tessaly::soak {

// splitmix64: small, and the same numbers on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next();
    std::uint32_t Below(std::uint32_t bound) { return bound == 0 ? 0 : static_cast<std::uint32_t>(Next() % bound); }
    bool Percent(unsigned percent) { return Below(100) < percent; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

private:
    std::uint64_t m_state;
};
std::uint64_t Mix(std::uint64_t a, std::uint64_t b);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The folders and files the soak points the DLL at, in the prefix's temporary
// folder; none holds a file that a program could be started from. The
// current folder moves to an empty one on C:, so that a garbled drop list
// naming a relative path or a drive's root cannot reach the Linux root (Z:).
struct Places {
    Places();
    bool Made(const std::wstring& name) const;    // a file of the soak's own, by name
    testing::ScratchFolder here{L"soak-here"};    // the current folder: nothing
    testing::ScratchFolder few{L"soak-few"};      // 6 files
    testing::ScratchFolder empty{L"soak-empty"};  // nothing
    testing::ScratchFolder many{L"soak-many"};    // 150 files
    testing::ScratchFolder odd{L"soak-odd"};      // odd names, an entry that cannot be opened, a subfolder
    std::wstring deep;                            // a folder whose files' paths pass MAX_PATH
    std::wstring file;                            // a plain file
    // 60 files on the slow share (tools/soak.sh mounts it and names it in
    // TESSALY_SOAK_SLOW_FOLDER; empty without one): the scan opens them in
    // parallel, so its threads are soaked too.
    std::wstring slow;
};

// An item list as the shell passes it (or none).
struct ItemList {
    ItemList(Rng& rng, const Places& places);
    ~ItemList();
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    PIDLIST_ABSOLUTE list = nullptr;
    bool hasPath = false;  // resolves to a file-system path
    std::string what;
};

// What a data object leads to under the folder rule.
enum class DropOutcome { Folder, NoFolder, Unavailable };

// A data object for CF_HDROP: GetData failing, a global block of any bytes
// (a drop list well formed or not, of any size), or another medium.
struct DropInput {
    DropInput(Rng& rng, const Places& places);
    testing::ComRef<IDataObject> object;
    testing::DropData* data = nullptr;
    DropOutcome expected = DropOutcome::Unavailable;
    std::string what;
};

// True when a drop list's block holds its header and the list ends (two null
// characters) inside it: all that DragQueryFileW reads.
bool DropListFits(const std::string& block);

// Settings: writes one value (any type) or removes a value or the key.
std::string WriteRandomSetting(Rng& rng);
void RemoveSettings();
// The six values as the DLL reads them.
struct SettingsSeen {
    std::int32_t fileCount, accessed, modified;
};
SettingsSeen ReadSettingsAsStored();

}  // namespace tessaly::soak
