// The DLL's class object as a COM client meets it: one cached factory per
// process, the module lock count that DllCanUnloadNow answers from, and the
// aggregation rule.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "LoadedServer.h"

namespace tessaly::testing {
namespace {

// {00000000-1111-2222-3333-444455556666}: a class nobody serves.
constexpr CLSID kUnknownClass = {0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

class ClassObjectTest : public ::testing::Test {
protected:
    LoadedServer server;
};

TEST_F(ClassObjectTest, AnUnknownClassOrNoOutputIsRefused) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.GetClassObject(kUnknownClass, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, server.GetClassObject(kHandlerClass, IID_IClassFactory, nullptr));
}

TEST_F(ClassObjectTest, ClientsOfTheCachedFactoryHoldOneModuleLockBetweenThem) {
    EXPECT_EQ(S_OK, server.CanUnloadNow());
    IClassFactory* first = server.Factory();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    IClassFactory* second = server.Factory();
    EXPECT_EQ(first, second);
    second->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    first->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
    // Still cached: the next client gets the same object.
    IClassFactory* third = server.Factory();
    EXPECT_EQ(first, third);
    third->Release();
}

TEST_F(ClassObjectTest, AnInterfaceTheFactoryLacksIsRefusedButTheFactoryStaysCached) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, server.GetClassObject(kHandlerClass, IID_IClassFactory2, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(S_OK, server.CanUnloadNow());
    IClassFactory* factory = server.Factory();
    void* unknown = nullptr;
    ASSERT_EQ(S_OK, server.GetClassObject(kHandlerClass, IID_IUnknown, &unknown));
    EXPECT_EQ(static_cast<IUnknown*>(factory), unknown);
    static_cast<IUnknown*>(unknown)->Release();
    factory->Release();
}

TEST_F(ClassObjectTest, LivingHandlersAndLockServerKeepTheDllLoadedWithoutMatching) {
    IClassFactory* factory = server.Factory();
    void* menu = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IContextMenu, &menu));
    factory->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    static_cast<IUnknown*>(menu)->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());

    factory = server.Factory();
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    factory = server.Factory();
    factory->LockServer(FALSE);
    factory->LockServer(FALSE);  // unmatched: the count goes below zero
    factory->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    factory = server.Factory();
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

TEST_F(ClassObjectTest, CommandsTheirSubcommandsAndEnumeratorsEachKeepTheDllLoaded) {
    IClassFactory* factory = server.Factory(kCommandClass);
    IExplorerCommand* command = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IExplorerCommand, reinterpret_cast<void**>(&command)));
    factory->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "the command";
    IEnumExplorerCommand* list = nullptr;
    ASSERT_EQ(S_OK, command->EnumSubCommands(&list));
    command->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "the enumerator";
    IExplorerCommand* first = nullptr;
    ASSERT_EQ(S_OK, list->Next(1, &first, nullptr));
    list->Release();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "a subcommand";
    first->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

// An outer object that counts the references it is given.
class CountingOuter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        *object = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }
    LONG references = 1;
};

TEST_F(ClassObjectTest, AggregationIsAllowedOnlyWithARequestForIUnknown) {
    IClassFactory* factory = server.Factory();
    CountingOuter outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IContextMenu, &object));
    EXPECT_EQ(nullptr, object);

    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, &object));
    auto* inner = static_cast<IUnknown*>(object);
    EXPECT_NE(static_cast<IUnknown*>(&outer), inner);
    void* menu = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IContextMenu, &menu));
    // The aggregated interface counts on the outer object.
    EXPECT_EQ(2, outer.references);
    static_cast<IUnknown*>(menu)->Release();
    EXPECT_EQ(1, outer.references);
    EXPECT_EQ(S_FALSE, server.CanUnloadNow());
    EXPECT_EQ(0u, inner->Release());
    factory->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

TEST_F(ClassObjectTest, ThreadsTakingTheFactoryAtOnceShareOneAndLeaveNoLock) {
    std::atomic<bool> go{false};
    std::vector<IUnknown*> seen(8, nullptr);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            while (!go) std::this_thread::yield();
            for (int i = 0; i < 200; ++i) {
                void* factory = nullptr;
                if (FAILED(server.GetClassObject(kHandlerClass, IID_IClassFactory, &factory))) {
                    ++failures;
                    continue;
                }
                auto* classFactory = static_cast<IClassFactory*>(factory);
                if (i == 0) seen[t] = classFactory;
                void* menu = nullptr;
                if (SUCCEEDED(classFactory->CreateInstance(nullptr, IID_IContextMenu, &menu)))
                    static_cast<IUnknown*>(menu)->Release();
                else
                    ++failures;
                classFactory->LockServer(TRUE);
                classFactory->LockServer(FALSE);
                classFactory->Release();
            }
            ::CoUninitialize();
        });
    }
    go = true;
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(1u, std::set<IUnknown*>(seen.begin(), seen.end()).size());
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

}  // namespace
}  // namespace tessaly::testing
