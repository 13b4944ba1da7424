// A client of the registered handler, as the shell is one: creates it through
// COM from the registry alone and, given a folder, builds that folder's menu.
// Prints "create 0x<hr>" and, with a folder, "menu 0x<hr> items <n>".
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

namespace {
// {B922807E-EF82-4915-A30C-4C892F724740}
constexpr CLSID kHandlerClass = {0xB922807E, 0xEF82, 0x4915, {0xA3, 0x0C, 0x4C, 0x89, 0x2F, 0x72, 0x47, 0x40}};
}

// main, not wmain: the ARM64 build's compiler has no wide entry point.
int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IContextMenu* menu = nullptr;
    const HRESULT created = ::CoCreateInstance(kHandlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                               reinterpret_cast<void**>(&menu));
    std::printf("create 0x%08lx\n", static_cast<unsigned long>(created));
    if (SUCCEEDED(created) && argc > 1) {
        IShellExtInit* init = nullptr;
        PIDLIST_ABSOLUTE folder = ::ILCreateFromPathW(argv[1]);
        HRESULT result = menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init));
        if (SUCCEEDED(result)) result = init->Initialize(folder, nullptr, nullptr);
        HMENU popup = ::CreatePopupMenu();
        if (SUCCEEDED(result)) result = menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
        const HMENU submenu = ::GetSubMenu(popup, 0);
        std::printf("menu 0x%08lx items %d\n", static_cast<unsigned long>(result),
                    submenu != nullptr ? ::GetMenuItemCount(submenu) : -1);
        ::DestroyMenu(popup);
        ::ILFree(folder);
        if (init != nullptr) init->Release();
    }
    if (menu != nullptr) menu->Release();
    ::CoUninitialize();
    ::LocalFree(argv);
    return 0;
}
