// Many menus in one process, on one thread and spread over eight threads
// with an apartment each: handles, GDI and USER objects, heap and private
// bytes are compared before and after, and the module must be unloadable.
// TESSALY_LOAD_BUILDS sets the number of menus (500 in the test run;
// tools/load.sh asks for 10,000 and reports the figures).
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "tests/stress/StressHarness.h"

namespace tessaly::testing {
namespace {

int Builds() {
    const char* text = std::getenv("TESSALY_LOAD_BUILDS");
    const int builds = text != nullptr ? std::atoi(text) : 0;
    return builds > 0 ? builds : 500;
}

// Initialize, QueryContextMenu into a menu of our own, Release.
void OneMenu(const LoadedServer& server, PCIDLIST_ABSOLUTE folder) {
    ComRef<IShellExtInit> handler = NewHandler(server);
    if (handler->Initialize(folder, nullptr, nullptr) != S_OK) throw std::runtime_error("Initialize failed");
    const HMENU shell = ::CreatePopupMenu();
    const HRESULT built = MenuOf(handler.get())->QueryContextMenu(shell, 0, 1, 1000, CMF_NORMAL);
    ::DestroyMenu(shell);
    if (built != MAKE_HRESULT(SEVERITY_SUCCESS, 0, 11)) throw std::runtime_error("QueryContextMenu failed");
}

struct Figures {
    ResourceCounts counts;
    long long heap = 0;
    static Figures Now() { return {ResourceCounts::Now(), HeapBusyBytes()}; }
};

void Report(const char* run, int builds, const Figures& before, const Figures& after, double ms) {
    std::printf(
        "load-%s: %d menus in %.0f ms (%.3f ms each); GDI objects %lu -> %lu, USER objects %lu -> %lu, kernel "
        "handles %lu -> %lu (GetProcessHandleCount), kernel handle slot %u -> %u; heap busy bytes %+lld; private "
        "bytes %llu -> %llu\n",
        run, builds, ms, ms / builds, before.counts.gdiObjects, after.counts.gdiObjects, before.counts.userObjects,
        after.counts.userObjects, before.counts.kernelHandles, after.counts.kernelHandles, before.counts.kernelSlot,
        after.counts.kernelSlot, after.heap - before.heap, static_cast<unsigned long long>(before.counts.privateBytes),
        static_cast<unsigned long long>(after.counts.privateBytes));
}

// A leak of one object of any kind per menu breaks these; the slack covers
// what the system itself keeps.
void ExpectNothingLeft(int builds, const Figures& before, const Figures& after) {
    const long slack = 64;
    EXPECT_LE(static_cast<long>(after.counts.gdiObjects) - static_cast<long>(before.counts.gdiObjects), slack);
    EXPECT_LE(static_cast<long>(after.counts.userObjects) - static_cast<long>(before.counts.userObjects), slack);
    EXPECT_LE(static_cast<long>(after.counts.kernelSlot) - static_cast<long>(before.counts.kernelSlot), slack);
    // The smallest heap block is 16 bytes: a leak of one per menu is
    // 16 x builds; a quarter of that is the most tolerated.
    EXPECT_LE(after.heap - before.heap, 4LL * builds);
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's apartment may be up already (S_FALSE); each call is paired.
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        server = std::make_unique<LoadedServer>();
        StoreSettings(MenuSettings{1, 1, 5});
        folder.MakeFiles(8);
        list = ::ILCreateFromPathW(folder.Path().c_str());
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < 20; ++i) OneMenu(*server, list);  // what stays loaded gets loaded
    }
    void TearDown() override {
        ::ILFree(list);
        if (server) {
            EXPECT_EQ(server->CanUnloadNow(), S_OK);
        }
        server.reset();
        ::CoUninitialize();
    }

    std::unique_ptr<LoadedServer> server;
    ScratchFolder folder{L"load"};
    PIDLIST_ABSOLUTE list = nullptr;
};

TEST_F(LoadTest, MenusOnOneThreadLeaveNothingBehind) {
    const int builds = Builds();
    const Figures before = Figures::Now();
    const DWORD started = ::GetTickCount();
    for (int i = 0; i < builds; ++i) OneMenu(*server, list);
    const double ms = ::GetTickCount() - started;
    const Figures after = Figures::Now();
    Report("one-thread", builds, before, after, ms);
    ExpectNothingLeft(builds, before, after);
}

TEST_F(LoadTest, MenusOnEightApartmentsLeaveNothingBehind) {
    constexpr int kThreads = 8;
    const int builds = Builds();
    // One round first, so each thread's own first-use costs are not counted.
    const auto round = [&](int perThread) {
        std::vector<std::thread> threads;
        std::atomic<int> failures{0};
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
                    ++failures;
                    return;
                }
                try {
                    for (int i = 0; i < perThread; ++i) OneMenu(*server, list);
                } catch (const std::exception&) {
                    ++failures;
                }
                ::CoUninitialize();
            });
        for (std::thread& thread : threads) thread.join();
        return failures.load();
    };
    ASSERT_EQ(round(5), 0);
    const Figures before = Figures::Now();
    const DWORD started = ::GetTickCount();
    ASSERT_EQ(round(builds / kThreads), 0);
    const double ms = ::GetTickCount() - started;
    const Figures after = Figures::Now();
    Report("eight-apartments", builds / kThreads * kThreads, before, after, ms);
    ExpectNothingLeft(builds, before, after);
}

// The shell unloads an idle extension and loads it again for the next menu,
// many times in one process: each cycle must give back all it took.
TEST(LoadCycles, UnloadingGivesBackTheHeap) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const auto cycle = [] {
        LoadedServer server;
        NewHandler(server).reset();
    };
    cycle();
    cycle();
    constexpr int kCycles = 10;
    const long long before = HeapBusyBytes();
    for (int i = 0; i < kCycles; ++i) cycle();
    const long long after = HeapBusyBytes();
    std::printf("load-unload: %d cycles, heap busy bytes %+lld\n", kCycles, after - before);
    // Far below what one lost reserve per cycle (about 73 KB) would add up to.
    EXPECT_LT(after - before, 16 * 1024);
    ::CoUninitialize();
}

// Every block the DLL frees through its C runtime while it unloads.
std::vector<std::pair<void*, std::size_t>> g_freed;
void (*g_free)(void*) = nullptr;
void RecordFree(void* block) {
    if (block != nullptr) g_freed.emplace_back(block, ::_msize(block));
    g_free(block);
}

// The DLL's import slot for a function of a DLL it imports by name.
void** ImportSlot(HMODULE module, const char* dll, const char* function) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name != 0; ++entry) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
        auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slot = reinterpret_cast<void**>(const_cast<BYTE*>(base) + entry->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name,
                            function) == 0)
                return slot;
    }
    return nullptr;
}

// The runtime's reserve for exceptions (about 73 KB in the 64-bit DLL,
// 18.5 KB in the 32-bit one) goes after the static objects, whose
// destructors might still throw: here after the class map has released the
// cached factory.
TEST(LoadCycles, TheRuntimesReserveIsGivenBackAfterTheStaticObjects) {
#ifdef _LIBCPP_VERSION
    GTEST_SKIP() << "libc++abi (the ARM64 build's runtime) keeps its emergency buffer in static memory";
#endif
    LoadedServer server;
    IClassFactory* factory = server.Factory();
    factory->Release();  // the class map keeps it until the DLL goes
    void** slot = ImportSlot(server.module(), "msvcrt.dll", "free");
    ASSERT_NE(slot, nullptr);
    g_freed.reserve(4096);
    DWORD protection = 0;
    ASSERT_TRUE(::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection));
    g_free = reinterpret_cast<void (*)(void*)>(std::exchange(*slot, reinterpret_cast<void*>(&RecordFree)));
    server.Unload();
    const auto at = [](auto found) { return std::find_if(g_freed.begin(), g_freed.end(), found) - g_freed.begin(); };
    const auto reserve = at([](const auto& block) { return block.second >= 16 * 1024; });
    const auto factoryBlock = at([&](const auto& block) { return block.first == factory; });
    ASSERT_LT(reserve, static_cast<std::ptrdiff_t>(g_freed.size())) << "the reserve was not given back";
    EXPECT_LT(factoryBlock, reserve);
}

}  // namespace
}  // namespace tessaly::testing
