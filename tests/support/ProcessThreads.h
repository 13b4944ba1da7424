#pragma once
// The number of threads this process has now: a scan that leaves a thread
// running shows here.
#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>

#include "platform/win/HandleOwners.h"
#else
#include <dirent.h>

#include <memory>
#endif

namespace tessaly::testing {

inline int ProcessThreadCount() {
    int count = 0;
#ifdef _WIN32
    const platform::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot.valid()) return -1;
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = ::Thread32First(snapshot.get(), &thread); more; more = ::Thread32Next(snapshot.get(), &thread))
        if (thread.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
#else
    const std::unique_ptr<DIR, int (*)(DIR*)> tasks(opendir("/proc/self/task"), closedir);
    if (tasks == nullptr) return -1;
    while (const dirent* entry = readdir(tasks.get()))
        if (entry->d_name[0] != '.') ++count;
#endif
    return count;
}

}  // namespace tessaly::testing
