// Linked into the test programs of the ARM64 build only. On Windows on ARM
// register x18 always holds the thread's TEB, and compiled code reads
// thread-local data through it. Under Debian 12's arm64 Wine, whose own
// DLLs are Linux code that may use x18 as a scratch register, some calls
// (LocalFree, for one) return with it changed, and the next thread-local
// access faults. This handler puts the TEB back into x18 when a fault comes
// with x18 not holding it, and lets the code go on; on Windows that never
// happens, so it never acts there.
#include <windows.h>
#include <winternl.h>

namespace {

// THREAD_BASIC_INFORMATION, which mingw-w64's headers leave out.
struct ThreadBasics {
    NTSTATUS exitStatus;
    void* teb;
    CLIENT_ID client;
    ULONG_PTR affinity;
    LONG priority;
    LONG basePriority;
};
constexpr auto kThreadBasicInformation = static_cast<THREADINFOCLASS>(0);

LONG CALLBACK RepairTebRegister(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
    // Asked of the system, not read through x18.
    ThreadBasics basics = {};
    if (::NtQueryInformationThread(::GetCurrentThread(), kThreadBasicInformation, &basics, sizeof basics,
                                   nullptr) != 0)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto teb = reinterpret_cast<DWORD64>(basics.teb);
    if (exception->ContextRecord->X18 == teb) return EXCEPTION_CONTINUE_SEARCH;
    exception->ContextRecord->X18 = teb;
    return EXCEPTION_CONTINUE_EXECUTION;
}

const PVOID g_repair = ::AddVectoredExceptionHandler(1, RepairTebRegister);

}  // namespace
