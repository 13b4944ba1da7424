// The handler as a COM object: its interface table, reference counts, the
// module lock it holds, and the aggregated form.
#include <gtest/gtest.h>

#include "shellext/HandlerClass.h"
#include "tests/shellext/ShellFixtures.h"

namespace tessaly {
namespace {

using testing::ComRef;
using testing::ModuleLockCount;

TEST(HandlerObjectTest, InterfaceTableAnswersIUnknownWithIShellExtInitAndNothingBeyondIContextMenu) {
    ComRef<IShellExtInit> init = testing::NewHandler();
    void* pointer = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IUnknown, &pointer), S_OK);
    EXPECT_EQ(pointer, static_cast<void*>(init.get()));
    static_cast<IUnknown*>(pointer)->Release();

    ComRef<IContextMenu> menu = testing::ContextMenuOf(init.get());
    EXPECT_NE(static_cast<void*>(menu.get()), static_cast<void*>(init.get()));
    ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, &pointer), S_OK);
    EXPECT_EQ(pointer, static_cast<void*>(init.get())) << "both interfaces share one table";
    static_cast<IUnknown*>(pointer)->Release();

    for (const IID* iid : {&IID_IContextMenu2, &IID_IContextMenu3, &IID_IClassFactory}) {
        pointer = reinterpret_cast<void*>(1);
        EXPECT_EQ(init->QueryInterface(*iid, &pointer), E_NOINTERFACE);
        EXPECT_EQ(pointer, nullptr);
    }
    EXPECT_EQ(init->QueryInterface(IID_IContextMenu, nullptr), E_POINTER);
}

TEST(HandlerObjectTest, CountsItsReferencesAndHoldsOneModuleLockWhileItLives) {
    const long locksBefore = ModuleLockCount();
    IShellExtInit* init = nullptr;
    ASSERT_EQ(CreateTessalyShExt(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
    EXPECT_EQ(ModuleLockCount(), locksBefore + 1);
    EXPECT_EQ(init->AddRef(), 2u);
    IContextMenu* menu = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
    EXPECT_EQ(menu->Release(), 2u) << "both interfaces count on the object's one count";
    EXPECT_EQ(init->Release(), 1u);
    EXPECT_EQ(init->Release(), 0u) << "a never initialised object is destroyed without error";
    EXPECT_EQ(ModuleLockCount(), locksBefore);
}

TEST(HandlerObjectTest, FailedCreationDestroysTheObjectAtOnce) {
    const long locksBefore = ModuleLockCount();
    void* pointer = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateTessalyShExt(nullptr, IID_IContextMenu2, &pointer), E_NOINTERFACE);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(ModuleLockCount(), locksBefore);
    EXPECT_EQ(CreateTessalyShExt(nullptr, IID_IUnknown, nullptr), E_POINTER);
}

// An outer object that records what its aggregated handler forwards to it.
class OuterUnknown : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** result) override {
        ++queries;
        *result = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++count); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--count); }
    long count = 1;
    int queries = 0;
};

TEST(HandlerObjectTest, AggregatedFormForwardsItsInterfacesToTheOuterUnknown) {
    const long locksBefore = ModuleLockCount();
    OuterUnknown outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(CreateTessalyShExt(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    EXPECT_EQ(outer.count, 1) << "creating the inner unknown takes no outer reference";
    EXPECT_EQ(ModuleLockCount(), locksBefore + 1);

    void* pointer = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IUnknown, &pointer), S_OK);
    EXPECT_EQ(pointer, static_cast<void*>(inner)) << "the inner unknown answers IUnknown with itself";
    EXPECT_EQ(inner->Release(), 1u) << "and counts its own references";

    IContextMenu* menu = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
    EXPECT_EQ(outer.count, 2) << "the interface's reference is the outer object's";
    EXPECT_EQ(menu->AddRef(), 3u);
    EXPECT_EQ(menu->Release(), 2u);
    EXPECT_EQ(menu->QueryInterface(IID_IShellExtInit, &pointer), E_NOINTERFACE);
    EXPECT_EQ(outer.queries, 1) << "QueryInterface on an interface asks the outer object";
    menu->Release();
    EXPECT_EQ(outer.count, 1);

    EXPECT_EQ(inner->Release(), 0u);
    EXPECT_EQ(ModuleLockCount(), locksBefore);
}

}  // namespace
}  // namespace tessaly
