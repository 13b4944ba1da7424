// Alone in its file: the fault-injection build of the DLL links its own
// WorkerThread::Start in its place, which fails on request.
#include <windows.h>

#include "platform/Threads.h"

namespace tessaly::platform {

static DWORD WINAPI RunWorker(void* thread) {
    static_cast<WorkerThread*>(thread)->Run();
    return 0;
}

bool WorkerThread::Start(void (*work)(void*) noexcept, void* context) noexcept {
    if (m_started) return false;
    m_work = work;
    m_context = context;
    // A small stack: a worker opens files, nothing deeper (a link's reparse
    // buffer, 16 KB, is the most it holds).
    const HANDLE thread =
        ::CreateThread(nullptr, 256 * 1024, RunWorker, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return false;
    m_thread = reinterpret_cast<std::uintptr_t>(thread);
    m_started = true;
    return true;
}

}  // namespace tessaly::platform
