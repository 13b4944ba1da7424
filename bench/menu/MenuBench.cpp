// What one context menu costs under Wine, against its floor measured in the
// same process: the folder enumerated twice and every file opened twice for
// its times (FindFirstFileW/FindNextFileW, CreateFileW for attributes,
// GetFileTime, CloseHandle), which is what a menu with both lists must do.
// The menu is QueryContextMenu of the real DLL, with both lists on and 25
// files each, on folders of the given sizes; each figure is the median of
// --reps runs, menu and floor taken in turn so that drift hits both alike.
// Prints "wine-menu-vs-floor-1k: <ratio>" (target at most 1.25), the
// milliseconds per menu for each size, and the first menu after the DLL was
// loaded (cold start) on 100 files. Beside each menu, taken in turn with it,
// the tree of Windows 11's menu for the same folder:
// "wine-command-vs-menu-1k: <ratio>" (target at most 1.05).
//
// With --existing DIR --label L it takes the folders DIR\<size> instead (on
// the slow share, bench/menu.sh) and prints the menu against the same floor
// there, "wine-slow-share-<L>-menu-vs-floor-<size>: <ratio>": the floor opens
// every file twice, one after another, where the menu opens each once,
// several at a time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/stress/StressHarness.h"

using namespace tessaly::testing;

namespace {

// Keeps the floor's reads from being optimised away.
volatile DWORD g_sink = 0;

double Now() {
    static const double perMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / perMs;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Two enumerations, two opens of every file: what the menu cannot avoid.
double Floor(const std::wstring& folder) {
    const double started = Now();
    FILETIME sink{};
    for (int pass = 0; pass < 2; ++pass) {
        WIN32_FIND_DATAW found;
        const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring path = folder + L"\\" + found.cFileName;
            const HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) continue;
            FILETIME accessed, written;
            if (::GetFileTime(file, nullptr, &accessed, &written)) sink = pass == 0 ? accessed : written;
            ::CloseHandle(file);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    g_sink = g_sink + sink.dwLowDateTime;
    return Now() - started;
}

// One menu: a fresh handler initialised with the folder (not timed), then
// QueryContextMenu (timed).
double Menu(const LoadedServer& server, PCIDLIST_ABSOLUTE folder) {
    ComRef<IShellExtInit> handler = NewHandler(server);
    if (handler->Initialize(folder, nullptr, nullptr) != S_OK) throw std::runtime_error("Initialize failed");
    ComRef<IContextMenu> menu = MenuOf(handler.get());
    const HMENU shell = ::CreatePopupMenu();
    const double started = Now();
    const HRESULT built = menu->QueryContextMenu(shell, 0, 1, 1000, CMF_NORMAL);
    const double ms = Now() - started;
    ::DestroyMenu(shell);
    if (FAILED(built)) throw std::runtime_error("QueryContextMenu failed");
    return ms;
}

// One tree of Windows 11's menu: a fresh command shown for the folder (not
// timed, as the handler's Initialize is not), then EnumSubCommands and every
// subcommand's title, icon and flags, which is what the menu reads of them
// (timed, as the classic menu's QueryContextMenu with its items is).
double CommandTree(const LoadedServer& server, IShellItemArray* folder) {
    ComRef<IExplorerCommand> command = NewCommand(server);
    EXPCMDSTATE state = ECS_HIDDEN;
    if (command->GetState(folder, FALSE, &state) != S_OK || state != ECS_ENABLED)
        throw std::runtime_error("GetState did not show the command");
    const double started = Now();
    ComRef<IEnumExplorerCommand> list;
    if (command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out())) != S_OK)
        throw std::runtime_error("EnumSubCommands failed");
    for (ComRef<IExplorerCommand> sub;
         list->Next(1, reinterpret_cast<IExplorerCommand**>(sub.out()), nullptr) == S_OK;) {
        EXPCMDFLAGS flags = 0;
        LPWSTR title = nullptr, icon = nullptr;
        sub->GetFlags(&flags);
        sub->GetTitle(nullptr, &title);
        sub->GetIcon(nullptr, &icon);
        ::CoTaskMemFree(title);
        ::CoTaskMemFree(icon);
    }
    return Now() - started;
}

// What a scan adds per file beyond the floor: the file's time to local
// calendar fields and back to a count, and the local "now" that each entry
// is dated against. Per file, in microseconds.
double TimeConversionsPerFile() {
    constexpr int kFiles = 2000;
    FILETIME file;
    ::GetSystemTimeAsFileTime(&file);
    const double started = Now();
    for (int i = 0; i < kFiles; ++i) {
        SYSTEMTIME utc, local, nowUtc, nowLocal;
        FILETIME back;
        ::FileTimeToSystemTime(&file, &utc);
        ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
        ::SystemTimeToFileTime(&local, &back);
        ::GetSystemTime(&nowUtc);
        ::SystemTimeToTzSpecificLocalTime(nullptr, &nowUtc, &nowLocal);
        g_sink = g_sink + back.dwLowDateTime + nowLocal.wDay;
    }
    return (Now() - started) * 1000.0 / kFiles;
}

std::string SizeLabel(int size) {
    return size % 1000 == 0 ? std::to_string(size / 1000) + "k" : std::to_string(size);
}

// The menus of folders made before, against their floors, in turn.
void MenusOfExisting(const LoadedServer& server, const std::wstring& root, const std::vector<int>& sizes, int reps,
                     const std::string& label) {
    std::vector<std::string> figures;
    for (int size : sizes) {
        const std::wstring folder = root + L"\\" + std::to_wstring(size);
        const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.c_str());
        if (list == nullptr) throw std::runtime_error("no such folder");
        std::vector<double> menus, floors;
        for (int rep = 0; rep < reps; ++rep) {
            menus.push_back(Menu(server, list));
            floors.push_back(Floor(folder));
        }
        ::ILFree(list);
        const double menu = Median(menus), floor = Median(floors);
        std::printf("wine-slow-share-%s-menu-%d-files-ms: %.1f (floor %.1f; median of %d)\n", label.c_str(), size, menu,
                    floor, reps);
        char line[128];
        std::snprintf(line, sizeof line, "wine-slow-share-%s-menu-vs-floor-%s: %.3f", label.c_str(),
                      SizeLabel(size).c_str(), menu / floor);
        figures.push_back(line);
    }
    for (const std::string& line : figures) std::printf("%s\n", line.c_str());
}

std::vector<int> ParseSizes(const wchar_t* text) {
    std::vector<int> sizes;
    for (const wchar_t* p = text; *p != 0;) {
        wchar_t* end = nullptr;
        const long size = std::wcstol(p, &end, 10);
        if (end == p || size <= 0) throw std::runtime_error("bad --sizes");
        sizes.push_back(static_cast<int>(size));
        p = *end == L',' ? end + 1 : end;
    }
    return sizes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        std::vector<int> sizes = {100, 1000, 10000};
        int reps = 15;
        std::wstring existing, label;
        for (int i = 1; i + 1 < argc; i += 2) {
            if (std::wcscmp(argv[i], L"--sizes") == 0)
                sizes = ParseSizes(argv[i + 1]);
            else if (std::wcscmp(argv[i], L"--reps") == 0)
                reps = std::max(1, _wtoi(argv[i + 1]));
            else if (std::wcscmp(argv[i], L"--existing") == 0)
                existing = argv[i + 1];
            else if (std::wcscmp(argv[i], L"--label") == 0)
                label = argv[i + 1];
        }
        if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
        StoreSettings(MenuSettings{1, 1, 25});
        if (!existing.empty()) {
            const LoadedServer server;
            MenusOfExisting(server, existing, sizes, reps, std::string(label.begin(), label.end()));
            ::CoUninitialize();
            return 0;
        }

        // Cold start: the first menu of a freshly loaded DLL, and the load with it.
        {
            ScratchFolder folder(L"menu-cold");
            folder.MakeFiles(100);
            const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
            const double loadStarted = Now();
            LoadedServer server;
            const double loaded = Now() - loadStarted;
            const double first = Menu(server, list);
            const double second = Menu(server, list);
            std::printf("wine-cold-load-ms: %.2f\nwine-cold-first-menu-100-ms: %.2f (the next one: %.2f)\n", loaded,
                        first, second);
            ::ILFree(list);
        }

        LoadedServer server;
        double ratio1k = -1, commandRatio1k = -1;
        for (int size : sizes) {
            ScratchFolder folder(L"menu-" + std::to_wstring(size));
            folder.MakeFiles(size);
            const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
            const ComRef<IShellItemArray> items = FolderItemArray(folder.Path());
            Menu(server, list);  // the folder's entries into the system's caches, as for the floor
            Floor(folder.Path());
            CommandTree(server, items.get());
            std::vector<double> menus, floors, commands;
            for (int rep = 0; rep < reps; ++rep) {
                menus.push_back(Menu(server, list));
                floors.push_back(Floor(folder.Path()));
                commands.push_back(CommandTree(server, items.get()));
            }
            ::ILFree(list);
            const double menu = Median(menus), floor = Median(floors), command = Median(commands);
            std::printf("wine-menu-%d-files-ms: %.2f (floor %.2f, ratio %.3f; median of %d)\n", size, menu, floor,
                        menu / floor, reps);
            std::printf("wine-command-%d-files-ms: %.2f (the classic menu %.2f, ratio %.3f)\n", size, command, menu,
                        command / menu);
            if (size == 1000) {
                ratio1k = menu / floor;
                commandRatio1k = command / menu;
            }
        }
        std::printf("wine-time-conversions-per-file-us: %.2f (per scan: file time to local fields and back, local now)\n",
                    TimeConversionsPerFile());
        if (ratio1k > 0)
            std::printf("wine-menu-vs-floor-1k: %.3f\nwine-command-vs-menu-1k: %.3f\n", ratio1k, commandRatio1k);
        else
            std::printf("wine-menu-vs-floor-1k: n/a (1000 not among the sizes)\n");
        ::CoUninitialize();
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "menu bench: %s\n", failure.what());
        return 1;
    }
}
