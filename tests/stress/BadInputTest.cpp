// The built DLL fed what a careless or hostile host may hand it: null
// pointers, folders without a file-system path, odd data objects, files and
// folders that vanish between calls, odd names, the longest folder path,
// empty and huge id ranges. Every case ends with its exact result, exactly
// the debug lines the code names, and no lock or storage medium left behind.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "tests/stress/StressHarness.h"

namespace tessaly::testing {
namespace {

// One apartment for the program; each test loads the DLL for itself, so
// that a test of unloading finds it unloaded.
class ApartmentEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); }
    void TearDown() override { ::CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ApartmentEnvironment);

constexpr HRESULT Ids(unsigned count) { return MAKE_HRESULT(SEVERITY_SUCCESS, 0, count); }
const std::wstring kLinePrefix = L"Tessaly: Exception in CTessalyShExt::";

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override { StoreSettings(MenuSettings{}); }  // both lists, 10 files each: 21 ids
    void TearDown() override {
        // Every case gives back what it took.
        EXPECT_EQ(server.CanUnloadNow(), S_OK);
    }

    // Initialize, then a menu into a popup of the test's own; the submenu's texts.
    HRESULT Build(IShellExtInit* handler, std::vector<std::wstring>* texts = nullptr, UINT first = 1,
                  UINT last = 1000) {
        const HMENU shell = ::CreatePopupMenu();
        const HRESULT result = MenuOf(handler)->QueryContextMenu(shell, 0, first, last, CMF_NORMAL);
        if (texts != nullptr && ::GetMenuItemCount(shell) == 1) *texts = MenuTexts(SubmenuAt(shell, 0));
        ::DestroyMenu(shell);
        return result;
    }

    LoadedServer server;
    ScratchFolder folder;
    DllDebugLines lines;
};

// A null REFIID or REFCLSID: the reference is a pointer underneath, so the
// calls go through pointer-typed entries of the export and the tables.
using GetClassObjectByPointer = HRESULT(STDAPICALLTYPE*)(const GUID*, const GUID*, void**);
using QueryByPointer = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, const GUID*, void**);
using CreateByPointer = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, IUnknown*, const GUID*, void**);
template <typename Function>
Function Slot(IUnknown* object, int slot) {
    return reinterpret_cast<Function>((*reinterpret_cast<void***>(object))[slot]);
}

TEST_F(BadInputTest, NullInterfaceAndClassIdsGetEPointer) {
    const auto getClassObject = reinterpret_cast<GetClassObjectByPointer>(
        reinterpret_cast<void*>(::GetProcAddress(server.module(), "DllGetClassObject")));
    void* object = &object;
    EXPECT_EQ(getClassObject(nullptr, &IID_IClassFactory, &object), E_POINTER);
    EXPECT_EQ(object, nullptr);
    object = &object;
    EXPECT_EQ(getClassObject(&kHandlerClass, nullptr, &object), E_POINTER);
    EXPECT_EQ(object, nullptr);

    ComRef<IClassFactory> factory(server.Factory());
    object = &object;
    EXPECT_EQ(Slot<QueryByPointer>(factory.get(), 0)(factory.get(), nullptr, &object), E_POINTER);
    EXPECT_EQ(object, nullptr);
    object = &object;
    EXPECT_EQ(Slot<CreateByPointer>(factory.get(), 3)(factory.get(), nullptr, nullptr, &object), E_POINTER);
    EXPECT_EQ(object, nullptr);

    ComRef<IShellExtInit> handler = NewHandler(server);
    ComRef<IContextMenu> menu = MenuOf(handler.get());
    for (IUnknown* face : {static_cast<IUnknown*>(handler.get()), static_cast<IUnknown*>(menu.get())}) {
        object = &object;
        EXPECT_EQ(Slot<QueryByPointer>(face, 0)(face, nullptr, &object), E_POINTER);
        EXPECT_EQ(object, nullptr);
    }
    // The aggregated form's own unknown.
    ComRef<IUnknown> inner;
    ASSERT_EQ(factory->CreateInstance(factory.get(), IID_IUnknown, inner.out()), S_OK);
    object = &object;
    EXPECT_EQ(Slot<QueryByPointer>(inner.get(), 0)(inner.get(), nullptr, &object), E_POINTER);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

TEST_F(BadInputTest, NullPointersGetAFailureResultAndNoDebugLine) {
    EXPECT_EQ(server.GetClassObject(kHandlerClass, IID_IClassFactory, nullptr), E_POINTER);
    ComRef<IClassFactory> factory(server.Factory());
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, nullptr), E_POINTER);
    ComRef<IShellExtInit> handler = NewHandler(server);
    ComRef<IContextMenu> menu = MenuOf(handler.get());
    EXPECT_EQ(handler->QueryInterface(IID_IContextMenu, nullptr), E_POINTER);
    EXPECT_EQ(menu->QueryInterface(IID_IShellExtInit, nullptr), E_POINTER);

    EXPECT_EQ(handler->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
    // No shell menu to insert into: the popup entry fails, the submenu goes.
    EXPECT_EQ(menu->QueryContextMenu(nullptr, 0, 1, 1000, CMF_NORMAL), E_FAIL);
    EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
    for (UINT kind : {GCS_VERBA, GCS_HELPTEXTA, GCS_VALIDATEA, GCS_VERBW, GCS_HELPTEXTW, GCS_VALIDATEW})
        EXPECT_EQ(menu->GetCommandString(0, kind, nullptr, nullptr, 64), S_OK) << kind;
    // Nothing registered in this prefix: unregistering finds nothing to do.
    EXPECT_EQ(server.Install(FALSE, nullptr), S_OK);
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

TEST_F(BadInputTest, FoldersWithoutAFileSystemPathAreRefusedQuietly) {
    for (int place : {CSIDL_CONTROLS, CSIDL_DRIVES}) {
        PIDLIST_ABSOLUTE list = nullptr;
        ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, place, &list), S_OK) << place;
        ComRef<IShellExtInit> handler = NewHandler(server);
        EXPECT_EQ(handler->Initialize(list, nullptr, nullptr), E_INVALIDARG) << place;
        ::CoTaskMemFree(list);
        // A menu anyway: no folder, so no files, only "Options...".
        std::vector<std::wstring> texts;
        EXPECT_EQ(Build(handler.get(), &texts), Ids(1)) << place;
        EXPECT_EQ(texts, (std::vector<std::wstring>{L"", L"", L"Options..."})) << place;
    }
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

TEST_F(BadInputTest, DataObjectsTakeExactlyOneFolderAndGiveEveryMediumBack) {
    folder.MakeFile(L"a.txt");
    folder.MakeFile(L"b.txt");
    CreateDirectoryW(folder.PathOf(L"sub").c_str(), nullptr);
    struct Case {
        const char* name;
        std::vector<std::wstring> paths;
        DropOffer offer;
        HRESULT result;
        HRESULT ids;             // 2 files in the folder: 2 + 2 + Options
        std::string block = {};  // when given, GetData hands out exactly these bytes
    };
    // Drop lists of one folder as bytes: wide, narrow, and spoilt in ways that
    // DragQueryFileW would read past the block.
    const std::string wide = DropListBytes({folder.Path()});
    std::string narrow = wide.substr(0, sizeof(DROPFILES));
    reinterpret_cast<DROPFILES*>(narrow.data())->fWide = FALSE;
    for (wchar_t c : folder.Path()) narrow += static_cast<char>(c);
    narrow.append(2, '\0');
    std::string farOffset = wide;
    reinterpret_cast<DROPFILES*>(farOffset.data())->pFiles = 0x7FFFFFF0;
    const std::string cut = wide.substr(0, sizeof(DROPFILES) - 1), unended = wide.substr(0, wide.size() - 2),
                      halfEnded = wide.substr(0, wide.size() - 1);
    const Case cases[] = {
        {"no CF_HDROP", {folder.Path()}, DropOffer::None, E_INVALIDARG, Ids(1)},
        {"a stream, not global memory", {folder.Path()}, DropOffer::Stream, E_INVALIDARG, Ids(1)},
        {"empty drop list", {}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"two folders", {folder.Path(), folder.PathOf(L"sub")}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"a plain file", {folder.PathOf(L"a.txt")}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"an empty path", {L""}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"the current drive's root", {L"\\"}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"a relative name", {L"no such folder"}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"a drive-relative path", {L"C:" + folder.Path().substr(3)}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"a device-namespace path", {L"\\\\.\\" + folder.Path()}, DropOffer::Global, E_INVALIDARG, Ids(1)},
        {"one folder", {folder.Path()}, DropOffer::Global, S_OK, Ids(5)},
        {"one folder, narrow", {}, DropOffer::Global, S_OK, Ids(5), narrow},
        {"a block smaller than its header", {}, DropOffer::Global, E_INVALIDARG, Ids(1), cut},
        {"a list without its last terminator", {}, DropOffer::Global, E_INVALIDARG, Ids(1), unended},
        {"a list whose last terminator lacks its second byte", {}, DropOffer::Global, E_INVALIDARG, Ids(1),
         halfEnded},
        {"a list offset beyond the block", {}, DropOffer::Global, E_INVALIDARG, Ids(1), farOffset},
    };
    for (const Case& c : cases) {
        DropData* data = nullptr;
        const auto block = [&c](STGMEDIUM& medium) {
            // Exactly the block's bytes, with a zero byte right after them
            // (made longer, then cut back in place): a read past the end
            // finds a terminator there.
            medium.tymed = TYMED_HGLOBAL;
            medium.hGlobal = ::GlobalReAlloc(GlobalBlock(c.block + '\0'), c.block.size(), 0);
            return S_OK;
        };
        ComRef<IDataObject> object =
            c.block.empty() ? NewDropData(c.paths, c.offer, &data) : NewDataObject(block, &data);
        ComRef<IShellExtInit> handler = NewHandler(server);
        EXPECT_EQ(handler->Initialize(nullptr, object.get(), nullptr), c.result) << c.name;
        EXPECT_EQ(OutstandingMedia(data), 0) << c.name;
        EXPECT_EQ(Build(handler.get()), c.ids) << c.name;
    }
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

TEST_F(BadInputTest, FolderDeletedBeforeTheMenuGivesAnEmptyMenu) {
    ScratchFolder doomed(L"doomed");
    doomed.MakeFile(L"a.txt");
    ComRef<IShellExtInit> handler = NewHandler(server);
    const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(doomed.Path().c_str());
    ASSERT_EQ(handler->Initialize(list, nullptr, nullptr), S_OK);
    ::ILFree(list);
    RemoveTree(doomed.Path());
    std::vector<std::wstring> texts;
    EXPECT_EQ(Build(handler.get(), &texts), Ids(1));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"", L"", L"Options..."}));
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

// Closes the message boxes (dialog class) of one process.
BOOL CALLBACK CloseMessageBoxOf(HWND window, LPARAM process) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (owner == static_cast<DWORD>(process) && std::wstring(className) == L"#32770")
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Closes, from another thread, any message box that the shell raises in
// this process while the call runs (with a display Wine shows one for a
// missing file and waits for it), so the call cannot hang the test.
HRESULT CallClosingMessageBoxes(const std::function<HRESULT()>& call) {
    std::atomic<bool> done{false};
    std::thread closer([&] {
        const DWORD process = ::GetCurrentProcessId();
        while (!done) {
            ::EnumWindows(CloseMessageBoxOf, static_cast<LPARAM>(process));
            ::Sleep(50);
        }
    });
    const HRESULT result = call();
    done = true;
    closer.join();
    return result;
}

// Runs twice: headless, and under a display of its own (test_stress_display),
// where the shell first shows its message box for the missing file.
TEST_F(BadInputTest, FileDeletedBeforeItIsOpenedFailsWithOneLine) {
    folder.MakeFile(L"gone.txt");
    ComRef<IShellExtInit> handler = NewHandler(server);
    const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
    ASSERT_EQ(handler->Initialize(list, nullptr, nullptr), S_OK);
    ::ILFree(list);
    ASSERT_EQ(Build(handler.get()), Ids(3));
    ASSERT_TRUE(::DeleteFileW(folder.PathOf(L"gone.txt").c_str()));

    ComRef<IContextMenu> menu = MenuOf(handler.get());
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(0);
    EXPECT_EQ(CallClosingMessageBoxes([&] { return menu->InvokeCommand(&invoke); }), E_INVALIDARG);
    const std::vector<std::wstring> written = lines.Take();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].rfind(kLinePrefix + L"InvokeCommand: ::ShellExecuteEx failed ", 0), 0u) << written[0];
    EXPECT_EQ(written[0].back(), L')') << written[0];
    // With a display the shell shows its own message first and clears the
    // last error; the line must still carry a reason, not "success (0x0)".
    EXPECT_EQ(written[0].find(L"(0x0)"), std::wstring::npos) << written[0];
    std::printf("deleted file: %ls\n", written[0].c_str());
}

TEST_F(BadInputTest, OddNamesAreListedAsThemselves) {
    const std::wstring longName = std::wstring(251, L'n') + L".txt";  // 255 characters
    const std::wstring names[] = {L"100% %s %n.txt", L"Tom & Jerry.txt", L"it's \"quoted\".txt",
                                  L"smile \U0001F600 clef \U0001D11E.txt", longName};
    for (const std::wstring& name : names) {
        // A name the system refuses (the double quote on Windows) is not ours to list.
        try {
            folder.MakeFile(name);
        } catch (const std::exception&) {
            continue;
        }
    }
    // An entry the scan lists but cannot open (a name ending in a dot, made
    // through a long-path prefix): its debug line carries the name as it is.
    const std::wstring unopenable = L"50%s%n.";
    const HANDLE made = ::CreateFileW((L"\\\\?\\" + folder.PathOf(unopenable)).c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    ::CloseHandle(made);
    std::vector<std::wstring> listed;
    {
        WIN32_FIND_DATAW found;
        const HANDLE find = ::FindFirstFileW((folder.Path() + L"\\*").c_str(), &found);
        ASSERT_NE(find, INVALID_HANDLE_VALUE);
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) listed.emplace_back(found.cFileName);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ASSERT_GE(listed.size(), 4u);

    ComRef<IShellExtInit> handler = NewHandler(server);
    const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
    ASSERT_EQ(handler->Initialize(list, nullptr, nullptr), S_OK);
    ::ILFree(list);
    std::vector<std::wstring> texts;
    ASSERT_EQ(Build(handler.get(), &texts), Ids(static_cast<unsigned>(2 * listed.size() + 1)));
    for (const std::wstring& name : listed) {
        std::wstring shown;  // an ampersand is doubled so the menu shows it
        for (wchar_t c : name) shown += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        int found = 0;
        for (const std::wstring& text : texts)
            if (text.size() > shown.size() && text.compare(text.size() - shown.size() - 1, std::wstring::npos,
                                                           L"\t" + shown) == 0)
                ++found;
        EXPECT_EQ(found, 2) << "in both lists: " << ::testing::PrintToString(name);
    }
    // Each file that cannot be opened: one line per menu (both lists come
    // from one open of each file), its path as it is ("%" printed as "%",
    // never read as a format).
    int unopenableLines = 0;
    for (const std::wstring& line : lines.Take()) {
        EXPECT_EQ(line.rfind(L"Tessaly: CreateFile failed for file \"" + folder.Path() + L"\\", 0), 0u) << line;
        if (line.find(L"\\" + unopenable + L"\" (") != std::wstring::npos) ++unopenableLines;
    }
    EXPECT_EQ(unopenableLines, 1);
}

TEST_F(BadInputTest, FolderPathOf259Characters) {
    std::wstring path = folder.Path() + L"\\";
    path += std::wstring(259 - path.size(), L'd');
    ASSERT_EQ(path.size(), 259u);
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr));
    // From a data object (the path fits the 260-character buffer) and from an
    // item list.
    ComRef<IShellExtInit> fromDrop = NewHandler(server);
    ComRef<IDataObject> object = NewDropData({path});
    EXPECT_EQ(fromDrop->Initialize(nullptr, object.get(), nullptr), S_OK);
    EXPECT_EQ(Build(fromDrop.get()), Ids(1));
    // One level deeper does not fit: refused, not cut back to this folder,
    // nor taken for the folder that holds it, which the shell passes too.
    ComRef<IShellExtInit> deeper = NewHandler(server);
    ComRef<IShellExtInit> fromList = NewHandler(server);
    const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(path.c_str());
    EXPECT_EQ(deeper->Initialize(list, NewDropData({path + L"\\sub"}).get(), nullptr), E_INVALIDARG);
    if (list != nullptr) {
        EXPECT_EQ(fromList->Initialize(list, nullptr, nullptr), S_OK);
        ::ILFree(list);
        EXPECT_EQ(Build(fromList.get()), Ids(1));
    }
    EXPECT_EQ(lines.Take(), std::vector<std::wstring>{});
}

TEST_F(BadInputTest, IdRangesFromNoneToAllIds) {
    folder.MakeFiles(3);
    ComRef<IShellExtInit> handler = NewHandler(server);
    const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
    ASSERT_EQ(handler->Initialize(list, nullptr, nullptr), S_OK);
    ::ILFree(list);
    const std::wstring tooFew = kLinePrefix + L"QueryContextMenu: Too few command IDs allocated";
    struct Case {
        UINT first, last;
        HRESULT result;
        const wchar_t* line;
    };
    const Case cases[] = {
        {10, 9, E_FAIL, tooFew.c_str()},                  // no ids
        {0xFFFFFFFFu, 0xFFFFFFFEu, E_FAIL, tooFew.c_str()},  // no ids, at the top
        {1, 20, E_FAIL, tooFew.c_str()},                  // one short of 21
        {1, 21, Ids(7), nullptr},                          // exactly enough
        {0, 0xFFFFFFFFu, Ids(7), nullptr},                 // every id: 2^32, no wrap to 0
        {1, 0xFFFFFFFFu, Ids(7), nullptr},                 // 0xFFFFFFFF ids
        {0xFFFFFFFFu - 20, 0xFFFFFFFFu, Ids(7), nullptr},  // the last 21 ids
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Build(handler.get(), nullptr, c.first, c.last), c.result) << c.first << ".." << c.last;
        const std::vector<std::wstring> written = lines.Take();
        EXPECT_EQ(written, c.line ? std::vector<std::wstring>{c.line} : std::vector<std::wstring>{})
            << c.first << ".." << c.last;
    }
}

}  // namespace
}  // namespace tessaly::testing
