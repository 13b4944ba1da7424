// "Options..." chosen in a menu the DLL built: the real sheet opens on the
// menu's thread, with every page (the About page's link control comes from
// the rich edit library that the handler loaded), and InvokeCommand returns
// once it is closed. Runs with a display of its own.
#include <gtest/gtest.h>

#include "LoadedServer.h"
#include <prsht.h>
#include <shlobj.h>

#include <atomic>
#include <thread>

#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

HWND WaitForWindow(const wchar_t* caption, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 20) {
        if (HWND window = ::FindWindowW(nullptr, caption)) return window;
        ::Sleep(20);
    }
    return nullptr;
}

TEST(OptionsFromMenuTest, TheLastItemShowsTheSheetAndReturnsWhenItCloses) {
    ASSERT_EQ(nullptr, ::GetModuleHandleW(L"riched32.dll"));
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TempFolder folder;
    LoadedServer server;
    IClassFactory* factory = server.Factory();
    IShellExtInit* init = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)));
    factory->Release();
    PIDLIST_ABSOLUTE pidl = ::ILCreateFromPathW(folder.Path().c_str());
    ASSERT_EQ(S_OK, init->Initialize(pidl, nullptr, nullptr));
    ::ILFree(pidl);
    IContextMenu* menu = nullptr;
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)));
    HMENU popup = ::CreatePopupMenu();
    // An empty folder: the only item that takes an id is "Options...".
    ASSERT_EQ(1, HRESULT_CODE(menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL)));

    std::atomic<bool> sawEveryPage{false};
    std::atomic<bool> closed{false};
    std::thread user([&] {
        HWND sheet = WaitForWindow(L"Tessaly 1.0 Beta", 10000);
        if (sheet == nullptr) return;
        bool everyPage = true;
        for (int page = 2; page >= 0; --page) {
            ::SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
            everyPage = everyPage && ::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
        }
        sawEveryPage = everyPage;
        ::PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        // A sheet that does not go when cancelled would hang the test: take it down.
        for (int waited = 0; waited < 10000 && ::IsWindow(sheet); waited += 20) ::Sleep(20);
        if (::IsWindow(sheet)) ::PostMessageW(sheet, WM_CLOSE, 0, 0);
        closed = true;
    });
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.lpVerb = MAKEINTRESOURCEA(0);
    const HRESULT result = menu->InvokeCommand(&invoke);
    user.join();
    EXPECT_EQ(S_OK, result);
    EXPECT_TRUE(sawEveryPage);
    EXPECT_TRUE(closed);
    EXPECT_NE(nullptr, ::GetModuleHandleW(L"riched32.dll"));

    ::DestroyMenu(popup);
    menu->Release();
    init->Release();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

}  // namespace
}  // namespace tessaly::testing
