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
};

// Takes the next file until none is left. Nothing is thrown out of a
// thread: an open that fails to allocate (the host's path conversion) is
// left undone, for the scanning thread.
void OpenFiles(void* context) noexcept {
    auto& work = *static_cast<OpenWork*>(context);
    for (std::size_t i; (i = work.next.fetch_add(1)) < work.opens->size();) {
        PendingOpen& open = (*work.opens)[i];
        try {
            open.result = work.folder->ReadTimes(open.entry->Path(), open.isLink, open.times);
            open.error = platform::LastError();
            open.done = true;
        } catch (...) {
        }
    }
}

}  // namespace

void OpenInParallel(const platform::DirectoryEnumeration& folder, std::vector<PendingOpen>& opens) noexcept {
    if (opens.empty()) return;
    OpenWork work{&folder, &opens};
    // No more threads than there are files to keep them busy for a while.
    const std::size_t wanted = std::min<std::size_t>(kOpenThreads, opens.size() / kFilesPerThread + 1) - 1;
    {
        std::array<platform::WorkerThread, kOpenThreads - 1> workers;
        for (std::size_t i = 0; i < wanted; ++i)
            if (!workers[i].Start(OpenFiles, &work)) break;
        OpenFiles(&work);
    }  // every worker joined
}

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
