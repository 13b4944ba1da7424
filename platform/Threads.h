#pragma once
// What the folder scan needs to open files on several threads at once: a
// thread that runs one function and is joined before its owner goes, and a
// steady clock to tell slow opens from quick ones. Nothing else in the
// system starts a thread (docs/architecture.md says why the scan may).
#include <cstdint>

namespace tessaly::platform {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs work(context) on a new thread. False when the system cannot start
    // one; then nothing runs. work must not throw.
    bool Start(void (*work)(void* context) noexcept, void* context) noexcept;
    // Waits until the thread has ended; nothing to do when none was started.
    void Join() noexcept;

    // What the new thread runs (the platform's thread entry calls it).
    void Run() noexcept { m_work(m_context); }

private:
    void (*m_work)(void*) noexcept = nullptr;
    void* m_context = nullptr;
    std::uintptr_t m_thread = 0;
    bool m_started = false;
};

// Microseconds from a fixed moment, never going back.
std::uint64_t SteadyMicroseconds() noexcept;

}  // namespace tessaly::platform
