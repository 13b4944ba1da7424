// The registrar's own surface: the COM-shaped slots and the replacement table.
#include <gtest/gtest.h>

#include "RegistryContents.h"
#include "server/RegObject.h"

namespace tessaly::testing {
namespace {

TEST(RegObject, HandsOutNoInterfaceAndCountsNoReferences) {
    registry::MemoryRegistry registry;
    CRegObject registrar(registry);
    IRegistrarBase& base = registrar;
    int anything = 0;
    void* object = &anything;
    EXPECT_EQ(base.QueryInterface(InterfaceId{}, &object), hr::kNotImplemented);
    EXPECT_EQ(object, nullptr);
    base.AddRef();
    base.Release();
    base.Release();  // destroys nothing: the registrar still runs
    EXPECT_EQ(registrar.RunScript(L"HKCR { Key }", true), hr::kOk);
}

TEST(RegObject, RefusesNullArguments) {
    registry::MemoryRegistry registry;
    CRegObject registrar(registry);
    EXPECT_EQ(registrar.AddReplacement(nullptr, L"value"), hr::kInvalidArg);
    EXPECT_EQ(registrar.AddReplacement(L"Name", nullptr), hr::kInvalidArg);
    EXPECT_EQ(registrar.RunScript(nullptr, true), hr::kInvalidArg);
    // Neither half of a refused pair went into the table.
    EXPECT_EQ(registrar.RunScript(L"HKCR { '%Name%' }", true), hr::kDispException);
    EXPECT_EQ(ContentsOf(registry), Lines{});
}

TEST(RegObject, ClearedTableKnowsNoNames) {
    registry::MemoryRegistry registry;
    CRegObject registrar(registry);
    ASSERT_EQ(registrar.AddReplacement(L"Name", L"Before"), hr::kOk);
    EXPECT_EQ(registrar.ClearReplacements(), hr::kOk);
    EXPECT_EQ(registrar.RunScript(L"HKCR { '%Name%' }", true), hr::kDispException);
    ASSERT_EQ(registrar.AddReplacement(L"name", L"After"), hr::kOk);
    EXPECT_EQ(registrar.RunScript(L"HKCR { '%NAME%' }", true), hr::kOk);
    EXPECT_EQ(ContentsOf(registry), Lines{L"HKCR\\After"});
}

}  // namespace
}  // namespace tessaly::testing
