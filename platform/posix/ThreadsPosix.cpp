#include <pthread.h>

#include <ctime>

#include "platform/Threads.h"

namespace tessaly::platform {

static void* RunWorker(void* thread) {
    static_cast<WorkerThread*>(thread)->Run();
    return nullptr;
}

bool WorkerThread::Start(void (*work)(void*) noexcept, void* context) noexcept {
    if (m_started) return false;
    m_work = work;
    m_context = context;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, RunWorker, this) != 0) return false;
    m_thread = static_cast<std::uintptr_t>(thread);
    m_started = true;
    return true;
}

void WorkerThread::Join() noexcept {
    if (!m_started) return;
    pthread_join(static_cast<pthread_t>(m_thread), nullptr);
    m_started = false;
}

std::uint64_t SteadyMicroseconds() noexcept {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 + static_cast<std::uint64_t>(now.tv_nsec) / 1'000;
}

}  // namespace tessaly::platform
