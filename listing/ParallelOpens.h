#pragma once
// Opening a folder's files several at a time where each open is slow, as on
// a network share, where every open waits a round trip for the server's
// answer: with many opens outstanding at once the waits overlap.
//
// The threads live strictly inside one scan: they start after the folder
// was enumerated and are joined before the scan returns, so none outlives
// the handler call that scans. A worker only reads files' times into plain
// records; the scanning thread turns them into entries and writes the debug
// lines, in the enumeration's order. A thread that cannot start leaves its
// share to the others and to the scanning thread, which opens whatever is
// left itself, as the serial scan would.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "listing/FileEntry.h"
#include "platform/FileSystem.h"
#include "platform/Win32Values.h"

namespace tessaly {

// How a scan opens its folder's files.
enum class ScanOpens {
    Measured,  // one after another while quick; once slow, more at once while that pays
    Serial,    // one after another, as the enumeration lists them
    Parallel,  // several at once from the first file on
};

// Opens in flight at once: the scanning thread and 31 workers. Measured on
// a share that answers after 0.5 ms (bench/scan.sh, 10,000 files): 8 opens
// at once made the scan 10 times as fast as the serial one, 16 made it 12
// times, 32 made it 19 times.
constexpr std::size_t kOpenThreads = 32;
// A thread for every 8 files put aside, up to kOpenThreads: a few files do
// not pay for many thread starts.
constexpr std::size_t kFilesPerThread = 8;

// Where the opens proved slow, the threads grow step by step while that
// pays, each step timed over kStepFilesPerThread opens per thread (at least
// 2 blocks' worth): first the scanning thread alone, then kFirstThreads,
// then twice as many each time that a step went kStepGain times as fast as
// the step before. A step that did not pay goes back to the step before,
// and there it stays. A share's opens overlap; the opens of a system that
// serves them one at a time (Wine's server, whose local opens are as slow as
// a fast share's) hardly do, and more threads there only queue up.
constexpr std::size_t kFirstThreads = 4;
constexpr std::size_t kStepFilesPerThread = 8;
constexpr double kStepGain = 1.25;

// One file to open, and what its open found: plain data, written by the one
// thread that made the open and read by the scanning thread after all ended.
struct PendingOpen {
    FileEntry* entry = nullptr;
    bool isLink = false;
    bool done = false;  // false: no thread made it (the scanning thread makes it)
    platform::FileTimesResult result = platform::FileTimesResult::OpenFailed;
    Win32Error error = 0;  // why the open failed
    platform::FileTimes times;
};

// Makes the opens on up to kOpenThreads threads, the calling one among them,
// and returns when every thread has ended. stepByStep: the threads grow
// while that pays, else all start at once.
void OpenInParallel(const platform::DirectoryEnumeration& folder, std::vector<PendingOpen>& opens,
                    bool stepByStep) noexcept;

// Whether the rest of a scan opens in parallel. Measured: the time of every
// block of kBlock files, from one to the next, decides; when two blocks in a
// row took more than kSlowOpenMicroseconds a file, the opens are slow (a
// local disk takes a few microseconds, a share a round trip or more; a
// single slow block may be the machine busy elsewhere). Timing whole blocks
// reads the clock once per kBlock files, so a quick scan pays nothing
// measurable for it.
class OpenPace {
public:
    explicit OpenPace(ScanOpens opens);
    bool Parallel() const { return m_parallel; }
    // After each file opened on the scanning thread.
    void Opened();
    // Allocation failed while opens were being put aside: the rest opens serially.
    void FallBack() {
        m_parallel = false;
        m_measured = false;
    }
    // The opens went parallel because they proved slow (not from the first file on).
    bool Measured() const { return m_slowBlocks == kSlowBlocks; }

    static constexpr std::uint32_t kBlock = 16;
    static constexpr std::uint64_t kSlowOpenMicroseconds = 100;
    static constexpr std::uint32_t kSlowBlocks = 2;

private:
    bool m_measured;
    bool m_parallel;
    std::uint32_t m_inBlock = 0;
    std::uint32_t m_slowBlocks = 0;
    std::uint64_t m_blockStart = 0;
};

}  // namespace tessaly
