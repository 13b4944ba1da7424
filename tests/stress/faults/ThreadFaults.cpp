// Linked into the fault-injection build of the DLL only, in place of the
// platform's thread start and steady clock: a worker thread's start fails on
// request (the Nth from arming on, and every one after it), and the clock
// runs a second per reading, so every block of opens looks slow and every
// scan opens in parallel: each failure point of that path is tried.
#include <windows.h>

#include <atomic>

#include "platform/Threads.h"

namespace {
std::atomic<long> g_startsLeft{0};  // starts before the first that fails; 0: disarmed
std::atomic<long> g_failed{0};
std::atomic<std::uint64_t> g_clock{0};

DWORD WINAPI RunWorker(void* thread) {
    static_cast<tessaly::platform::WorkerThread*>(thread)->Run();
    return 0;
}
}  // namespace

namespace tessaly::platform {

bool WorkerThread::Start(void (*work)(void*) noexcept, void* context) noexcept {
    if (m_started) return false;
    for (long left = g_startsLeft.load(); left > 0;) {
        if (left == 1) {
            ++g_failed;
            return false;  // stays armed: every later start fails too
        }
        if (g_startsLeft.compare_exchange_weak(left, left - 1)) break;
    }
    m_work = work;
    m_context = context;
    const HANDLE thread = ::CreateThread(nullptr, 256 * 1024, RunWorker, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return false;
    m_thread = reinterpret_cast<std::uintptr_t>(thread);
    m_started = true;
    return true;
}

std::uint64_t SteadyMicroseconds() noexcept { return g_clock += 1'000'000; }

}  // namespace tessaly::platform

// Arms the failure of the nth worker thread start from now and of every one
// after it (nth 0 disarms). Returns how many starts failed since the previous call.
extern "C" long TessalyFailThreadStartAt(long nth) {
    g_startsLeft = nth;
    return g_failed.exchange(0);
}
