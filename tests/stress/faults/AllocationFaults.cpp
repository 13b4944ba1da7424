// Linked into the fault-injection build of the DLL only: replaces the DLL's
// operator new and new[] so that the Nth allocation after arming fails, and
// as many after it as asked (the throwing forms throw std::bad_alloc, the
// nothrow forms return null), and adds one export to arm it. The product DLL
// never contains this file.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations left before the one that fails; 0 when disarmed.
std::atomic<long> g_countdown{0};
std::atomic<long> g_fired{0};
// Failures in a row once the armed one has come.
std::atomic<long> g_burst{1};
std::atomic<long> g_following{0};

bool ShouldFail() noexcept {
    for (long following = g_following.load(); following > 0;)
        if (g_following.compare_exchange_weak(following, following - 1)) return true;
    long left = g_countdown.load();
    while (left > 0) {
        if (g_countdown.compare_exchange_weak(left, left - 1)) {
            if (left == 1) {
                ++g_fired;
                g_following = g_burst - 1;
                return true;
            }
            return false;
        }
    }
    return false;
}

void* Allocate(std::size_t size) noexcept {
    if (ShouldFail()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    void* memory = Allocate(size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

// Arms the failure of the nth allocation from now and of the burst - 1 after
// it (nth 0 disarms). Returns how many armed failures have happened since
// the previous call.
extern "C" long TessalyFailAllocationAt(long nth, long burst) {
    g_following = 0;
    g_burst = burst < 1 ? 1 : burst;
    g_countdown = nth;
    return g_fired.exchange(0);
}
