// The DLL file itself: its version block, and unloading and loading again.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

#include "LoadedServer.h"

namespace tessaly::testing {
namespace {

std::wstring VersionText(const std::vector<BYTE>& block, const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueW(block.data(), path.c_str(), &text, &length) || length == 0) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(text));
}

TEST(DllImageTest, VersionBlockNamesTheProduct) {
    const std::wstring path = BuiltDllPath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);

    EXPECT_EQ(L"Tessaly", VersionText(block, L"ProductName"));
    EXPECT_EQ(L"Quenbridge", VersionText(block, L"CompanyName"));
    EXPECT_EQ(L"Tessaly shell extension", VersionText(block, L"FileDescription"));
    EXPECT_EQ(L"1.0 Beta", VersionText(block, L"ProductVersion"));
    EXPECT_EQ(L"Tessaly.dll", VersionText(block, L"InternalName"));
    EXPECT_EQ(L"Tessaly.dll", VersionText(block, L"OriginalFilename"));
    EXPECT_NE(L"<none>", VersionText(block, L"LegalCopyright"));
}

TEST(DllImageTest, LoadsAgainAfterUnloadingWhenItSaidItCould) {
    LoadedServer first;
    IClassFactory* factory = first.Factory();
    factory->Release();
    ASSERT_EQ(S_OK, first.CanUnloadNow());
    first.Unload();
    ASSERT_EQ(nullptr, ::GetModuleHandleW(L"Tessaly64_10000.dll"));

    LoadedServer second;
    factory = second.Factory();
    void* menu = nullptr;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IContextMenu, &menu));
    if (menu != nullptr) static_cast<IUnknown*>(menu)->Release();
    factory->Release();
    EXPECT_EQ(S_OK, second.CanUnloadNow());
}

}  // namespace
}  // namespace tessaly::testing
