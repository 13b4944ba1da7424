#include <windows.h>

#include "platform/Threads.h"

namespace tessaly::platform {

void WorkerThread::Join() noexcept {
    if (!m_started) return;
    const HANDLE thread = reinterpret_cast<HANDLE>(m_thread);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    m_started = false;
}

}  // namespace tessaly::platform
