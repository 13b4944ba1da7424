#include "listing/ParallelOpens.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "platform/SystemErrors.h"
#include "platform/Threads.h"

namespace tessaly {

namespace {

struct OpenWork {
    const platform::DirectoryEnumeration* folder;
    std::vector<PendingOpen>* opens;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> made{0};
    std::atomic<std::size_t> allowed{0};  // threads numbered below it go on taking files
};

struct Worker {
    OpenWork* work = nullptr;
    std::size_t number = 0;  // the scanning thread is 0
};

// Takes the next file, if this thread may. Nothing is thrown out of a
// thread: an open that fails to allocate (the host's path conversion) is
// left undone, for the scanning thread.
bool OpenNext(const Worker& worker) noexcept {
    OpenWork& work = *worker.work;
    if (worker.number >= work.allowed) return false;
    const std::size_t i = work.next.fetch_add(1);
    if (i >= work.opens->size()) return false;
    PendingOpen& open = (*work.opens)[i];
    try {
        open.result = work.folder->ReadTimes(open.entry->Path(), open.isLink, open.times);
        open.error = platform::LastError();
        open.done = true;
    } catch (...) {
    }
    ++work.made;
    return true;
}

void OpenFiles(void* worker) noexcept {
    while (OpenNext(*static_cast<const Worker*>(worker))) {
    }
}

}  // namespace

void OpenInParallel(const platform::DirectoryEnumeration& folder, std::vector<PendingOpen>& opens,
                    bool stepByStep) noexcept {
    if (opens.empty()) return;
    OpenWork work{&folder, &opens};
    // No more threads than there are files to keep them busy for a while.
    const std::size_t wanted = std::min(kOpenThreads, opens.size() / kFilesPerThread + 1);
    std::array<Worker, kOpenThreads> workers;
    std::array<platform::WorkerThread, kOpenThreads> threads;  // [0] unused: the scanning thread
    std::size_t started = 1;
    const auto allow = [&](std::size_t count) {
        work.allowed = count;
        for (; started < count; ++started) {
            workers[started] = Worker{&work, started};
            if (!threads[started].Start(OpenFiles, &workers[started])) break;
        }
    };

    bool growing = stepByStep && wanted > 1;
    std::size_t before = 0;  // threads of the step before (none yet)
    double beforePerFile = 0;
    std::size_t stepMade = 0;
    std::uint64_t stepStart = growing ? platform::SteadyMicroseconds() : 0;
    allow(growing ? 1 : wanted);
    for (const Worker self{&work, 0}; OpenNext(self);) {
        const std::size_t current = work.allowed;
        if (!growing || work.made - stepMade < std::max<std::size_t>(current * kStepFilesPerThread, 2 * OpenPace::kBlock)) continue;
        const std::uint64_t now = platform::SteadyMicroseconds();
        const double perFile = static_cast<double>(now - stepStart) / static_cast<double>(work.made - stepMade);
        if (before != 0 && beforePerFile < kStepGain * perFile) {
            allow(before);  // did not pay: the threads above stop after their file
            growing = false;
        } else if (current < wanted) {
            before = current;
            beforePerFile = perFile;
            stepMade = work.made;
            stepStart = now;
            allow(std::min(current == 1 ? kFirstThreads : 2 * current, wanted));
        } else {
            growing = false;
        }
    }
}  // every thread joined

OpenPace::OpenPace(ScanOpens opens)
    : m_measured(opens == ScanOpens::Measured), m_parallel(opens == ScanOpens::Parallel) {
    if (m_measured) m_blockStart = platform::SteadyMicroseconds();
}

void OpenPace::Opened() {
    if (!m_measured || ++m_inBlock < kBlock) return;
    const std::uint64_t now = platform::SteadyMicroseconds();
    m_slowBlocks = now - m_blockStart > kBlock * kSlowOpenMicroseconds ? m_slowBlocks + 1 : 0;
    if (m_slowBlocks == kSlowBlocks) {
        m_parallel = true;
        m_measured = false;
    }
    m_inBlock = 0;
    m_blockStart = now;
}

}  // namespace tessaly
