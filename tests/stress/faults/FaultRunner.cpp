// Runs every entry point of the fault-injection build of the DLL with its
// Nth allocation failing, for N = 1, 2, ... until the scenario runs without
// reaching the armed allocation. Each run must end with a success or with
// the entry point's failure result, exactly the debug lines the code names,
// no GDI, USER or kernel handle and no heap block left, and, after a failed
// registration, no registry block half written. The options sheet, opened
// through "Options..." and driven as a user would, fails the allocation after
// the Nth too, so that the report of a failure fails as well; it must keep
// every exception inside, close, and leave the settings as one click or
// another left them, never a mix.
//
//   tessaly_fault_runner.exe [--quick | --sheet]
//     --quick: the menu and help-text scenarios only
//     --sheet: the options sheet only (needs a display; the others need none)
// Prints one line per scenario and "fault-injection: <points> failure points
// tried, <faults> faults found"; exits 1 when a fault was found.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/options/LaunchRecord.h"
#include "tests/options/SheetDriver.h"
#include "tests/stress/StressHarness.h"

using namespace tessaly::testing;

namespace {

constexpr HRESULT Ids(unsigned count) { return MAKE_HRESULT(SEVERITY_SUCCESS, 0, count); }
const std::wstring kBadAlloc = L"std::bad_alloc";
std::wstring EntryLine(const wchar_t* owner, const wchar_t* operation, const std::wstring& message) {
    return L"Tessaly: Exception in " + std::wstring(owner) + operation + L": " + message;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 && c >= 32 ? static_cast<char>(c) : '?';
    return narrow;
}

// Arms the loaded DLL's allocation failure, or its worker thread starts'
// failure; the result tells whether the previously armed one happened.
class Faults {
public:
    explicit Faults(const LoadedServer& server)
        : m_arm(reinterpret_cast<long (*)(long, long)>(
              reinterpret_cast<void*>(::GetProcAddress(server.module(), "TessalyFailAllocationAt")))),
          m_armThreads(reinterpret_cast<long (*)(long)>(
              reinterpret_cast<void*>(::GetProcAddress(server.module(), "TessalyFailThreadStartAt")))) {
        if (m_arm == nullptr || m_armThreads == nullptr)
            throw std::runtime_error("not the fault-injection build of the DLL");
    }
    void Arm(long nth, long burst) const { m_arm(nth, burst); }
    bool Disarm() const { return m_arm(0, 1) > 0; }
    void ArmThreadStarts(long nth) const { m_armThreads(nth); }
    bool DisarmThreadStarts() const { return m_armThreads(0) > 0; }

private:
    long (*m_arm)(long, long);
    long (*m_armThreads)(long);
};

// What one run reports: "" when sound, else what went wrong.
using Problem = std::string;

struct Context {
    const LoadedServer* server = nullptr;  // null for scenarios that load the DLL themselves
    const Faults* faults = nullptr;
    DllDebugLines* lines = nullptr;
    std::wstring folder;  // 40 files
    PCIDLIST_ABSOLUTE folderList = nullptr;
};

// The lines of one run against the only line that may come: the operation's
// own with the allocation failure's message (or with one of the others).
Problem CheckLines(const std::vector<std::wstring>& written, bool failed, const wchar_t* operation,
                   const std::vector<std::wstring>& messages = {kBadAlloc}, const wchar_t* owner = L"CTessalyShExt::") {
    if (!failed) return written.empty() ? "" : "success with a debug line: " + Narrow(written[0]);
    if (written.size() != 1) return "failure with " + std::to_string(written.size()) + " debug lines";
    for (const std::wstring& message : messages)
        if (written[0].rfind(EntryLine(owner, operation, message), 0) == 0) return "";
    // The allocation that fails may be the report's own widening of the
    // message: the line then goes out without it.
    if (written[0] == EntryLine(owner, operation, L"")) return "";
    return "unexpected debug line: " + Narrow(written[0]);
}

Problem HResultText(const char* what, HRESULT result) {
    char text[96];
    std::snprintf(text, sizeof text, "%s returned 0x%08lx", what, static_cast<unsigned long>(result));
    return text;
}

// ---- the registry entries of registration ---------------------------------

struct Entry {
    HKEY root;
    const wchar_t* key;
    const wchar_t* value;             // null: the key itself
    const wchar_t* shared = nullptr;  // the default value the other build writes there too
};
#define TESSALY_CLASS L"{B922807E-EF82-4915-A30C-4C892F724740}"
const Entry kAppIdEntries[] = {
    {HKEY_CLASSES_ROOT, L"AppID\\{733D43C3-335E-4248-9DA6-6223F64E3028}", nullptr, L"Tessaly"},
    {HKEY_CLASSES_ROOT, L"AppID\\Tessaly64.DLL", L"AppID"},
};
const Entry kClassEntries[] = {
    {HKEY_CLASSES_ROOT, L"CLSID\\{B922807E-EF82-4915-A30C-4C892F724740}\\InprocServer32", L"ThreadingModel"},
    {HKEY_CLASSES_ROOT, L"Directory\\Background\\ShellEx\\ContextMenuHandlers\\TessalyShExt", nullptr, TESSALY_CLASS},
    {HKEY_CLASSES_ROOT, L"Directory\\ShellEx\\ContextMenuHandlers\\TessalyShExt", nullptr, TESSALY_CLASS},
    {HKEY_CLASSES_ROOT, L"Drive\\ShellEx\\ContextMenuHandlers\\TessalyShExt", nullptr, TESSALY_CLASS},
};
const Entry kApprovalEntry = {HKEY_LOCAL_MACHINE,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                              L"{B922807E-EF82-4915-A30C-4C892F724740}"};

bool Present(const Entry& entry) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(entry.root, entry.key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool present =
        entry.value == nullptr || ::RegQueryValueExW(key, entry.value, nullptr, nullptr, nullptr, nullptr) == 0;
    ::RegCloseKey(key);
    return present;
}

// The entries present, and the entries counted: beside the other build its
// shared entries are there whatever this one does, so they count only without it.
template <std::size_t N>
std::pair<int, int> CountPresent(const Entry (&entries)[N], bool besideOther) {
    int present = 0, counted = 0;
    for (const Entry& entry : entries) {
        if (besideOther && entry.shared != nullptr) continue;
        ++counted;
        present += Present(entry) ? 1 : 0;
    }
    return {present, counted};
}

// Each root block is written whole or undone whole, and in order: the
// application identifier, the classes block, the approval.
Problem CheckRegistryBlocks(bool expectAll, bool besideOther) {
    const auto [appId, appIdAll] = CountPresent(kAppIdEntries, besideOther);
    const auto [classes, classesAll] = CountPresent(kClassEntries, besideOther);
    const bool approval = Present(kApprovalEntry);
    if (appId != 0 && appId != appIdAll) return "application identifier block half written";
    if (classes != 0 && classes != classesAll) return "class block half written";
    if (classes != 0 && appId == 0) return "class block without the application identifier";
    if (approval && classes == 0) return "approval without the class block";
    if (expectAll && !(appId == appIdAll && classes == classesAll && approval)) return "success without every entry";
    return "";
}

Problem CheckRegistryEmpty(bool besideOther) {
    if (CountPresent(kAppIdEntries, besideOther).first + CountPresent(kClassEntries, besideOther).first != 0 ||
        Present(kApprovalEntry))
        return "entries left after unregistration";
    return "";
}

// The other build registered beside this one: its class in the 32-bit
// registry view, and what both write to the keys the views share.
class OtherBuild {
public:
    OtherBuild() {
        Write(kClassKey, L"Tessaly32_10000.dll", KEY_WOW64_32KEY);
        for (const Entry* entry : kShared) Write(entry->key, entry->shared, 0);
    }
    ~OtherBuild() {
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kClassKey, KEY_WOW64_32KEY, 0);
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\" TESSALY_CLASS, KEY_WOW64_32KEY, 0);
        for (const Entry* entry : kShared) ::RegDeleteTreeW(entry->root, entry->key);
    }
    OtherBuild(const OtherBuild&) = delete;
    OtherBuild& operator=(const OtherBuild&) = delete;

    // Every shared entry is still there, with the same content.
    static Problem Check() {
        for (const Entry* entry : kShared) {
            wchar_t data[64] = {};
            DWORD size = sizeof data - sizeof(wchar_t);
            if (::RegGetValueW(entry->root, entry->key, nullptr, RRF_RT_REG_SZ, nullptr, data, &size) != 0 ||
                std::wcscmp(data, entry->shared) != 0)
                return "the other build's entry went: " + Narrow(entry->key);
        }
        return "";
    }

private:
    static constexpr const wchar_t* kClassKey = L"Software\\Classes\\CLSID\\" TESSALY_CLASS L"\\InprocServer32";
    static constexpr const Entry* kShared[] = {&kAppIdEntries[0], &kClassEntries[1], &kClassEntries[2],
                                               &kClassEntries[3]};

    static void Write(const wchar_t* path, const wchar_t* text, REGSAM view) {
        HKEY root = view != 0 ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT, key = nullptr;
        if (::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) != 0)
            throw std::runtime_error("cannot register the other build");
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
};
#undef TESSALY_CLASS

// ---- scenarios --------------------------------------------------------------

// One run of a scenario at one failure point.
struct Run {
    long nth = 0;        // the allocation that fails (0: none)
    long burst = 1;      // and how many in a row from there
    bool fired = false;  // it was reached
    bool failed = false; // the entry point reported a failure
};

// Calls work with the failure armed, and notes whether it was reached.
template <typename Work>
auto Armed(const Faults& faults, Run& run, Work&& work) {
    faults.Arm(run.nth, run.burst);
    auto result = work();
    run.fired = faults.Disarm();
    return result;
}

struct Scenario {
    const char* name;
    bool quick;
    std::function<Problem(const Context&, Run&)> run;
    bool loadsItself = false;  // loads and unloads the DLL in every run
    bool sheet = false;        // opens the options sheet (needs a display)
};

Problem InitializeScenario(const Context& c, Run& run, bool withDataObject) {
    ComRef<IShellExtInit> handler = NewHandler(*c.server);
    DropData* data = nullptr;
    ComRef<IDataObject> object = NewDropData({c.folder}, DropOffer::Global, &data);
    const HRESULT result = Armed(*c.faults, run, [&] {
        return withDataObject ? handler->Initialize(nullptr, object.get(), nullptr)
                              : handler->Initialize(c.folderList, nullptr, nullptr);
    });
    const std::vector<std::wstring> written = c.lines->Take();
    if (OutstandingMedia(data) != 0) return "storage medium not released";
    if (result != S_OK && result != E_INVALIDARG) return HResultText("Initialize", result);
    // A folder that is there must not be refused without a word.
    if (result == E_INVALIDARG && written.empty()) return "E_INVALIDARG without a debug line";
    run.failed = !written.empty();
    return CheckLines(written, run.failed, L"Initialize");
}

Problem MenuScenario(const Context& c, Run& run) {
    ComRef<IShellExtInit> handler = NewHandler(*c.server);
    if (handler->Initialize(c.folderList, nullptr, nullptr) != S_OK) return "set-up: Initialize failed";
    ComRef<IContextMenu> menu = MenuOf(handler.get());
    const HMENU shell = ::CreatePopupMenu();
    const HRESULT result = Armed(*c.faults, run, [&] { return menu->QueryContextMenu(shell, 0, 1, 1000, CMF_NORMAL); });
    const int entries = ::GetMenuItemCount(shell);
    ::DestroyMenu(shell);
    run.failed = result != Ids(51);
    if (run.failed && result != E_FAIL) return HResultText("QueryContextMenu", result);
    if (entries != (run.failed ? 0 : 1)) return "shell menu left with a wrong entry count";
    return CheckLines(c.lines->Take(), run.failed, L"QueryContextMenu");
}

// The fault-injection build opens every folder in parallel after its first
// blocks of files (its clock makes every open look slow), here on a dozen
// threads. A worker thread that cannot start, and every one after it,
// leaves its share to the others and to the scanning thread: the menu must
// come out exactly as without a fault, without a debug line.
Problem ThreadStartScenario(const Context& c, Run& run) {
    static const ScratchFolder folder(L"faults-threads");  // made in the warm-up runs
    static const PIDLIST_ABSOLUTE list = [] {
        folder.MakeFiles(120);
        return ::ILCreateFromPathW(folder.Path().c_str());
    }();
    const auto build = [&](std::vector<std::wstring>& texts) {
        ComRef<IShellExtInit> handler = NewHandler(*c.server);
        if (handler->Initialize(list, nullptr, nullptr) != S_OK) return E_FAIL;
        const HMENU shell = ::CreatePopupMenu();
        const HRESULT result = MenuOf(handler.get())->QueryContextMenu(shell, 0, 1, 1000, CMF_NORMAL);
        if (::GetMenuItemCount(shell) == 1) texts = MenuTexts(SubmenuAt(shell, 0));
        ::DestroyMenu(shell);
        return result;
    };
    std::vector<std::wstring> expected, texts;
    if (build(expected) != Ids(51)) return "set-up: QueryContextMenu failed";
    c.lines->Take();
    c.faults->ArmThreadStarts(run.nth);
    const HRESULT result = build(texts);
    run.fired = c.faults->DisarmThreadStarts();
    if (result != Ids(51)) return HResultText("QueryContextMenu", result);
    if (texts != expected) return "another menu than without the fault";
    return CheckLines(c.lines->Take(), false, L"QueryContextMenu");
}

// A handler on the folder with its menu built, nothing armed, its lines taken:
// what a command scenario starts from.
Problem BuildMenu(const Context& c, ComRef<IContextMenu>& menu, HRESULT& built) {
    ComRef<IShellExtInit> handler = NewHandler(*c.server);
    if (handler->Initialize(c.folderList, nullptr, nullptr) != S_OK) return "set-up: Initialize failed";
    menu = MenuOf(handler.get());
    const HMENU shell = ::CreatePopupMenu();
    built = menu->QueryContextMenu(shell, 0, 1, 1000, CMF_NORMAL);
    ::DestroyMenu(shell);
    if (FAILED(built)) return "set-up: QueryContextMenu failed";
    c.lines->Take();
    return "";
}

Problem InvokeScenario(const Context& c, Run& run, UINT_PTR offset) {
    ComRef<IContextMenu> menu;
    HRESULT built = E_FAIL;
    if (Problem problem = BuildMenu(c, menu, built); !problem.empty()) return problem;
    if (built != Ids(51)) return "set-up: QueryContextMenu built another menu";
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = reinterpret_cast<LPCSTR>(offset);
    const HRESULT result = Armed(*c.faults, run, [&] { return menu->InvokeCommand(&invoke); });
    const std::vector<std::wstring> written = c.lines->Take();
    if (offset != 0) {
        if (result != E_INVALIDARG) return HResultText("InvokeCommand", result);
        return CheckLines(written, false, L"InvokeCommand");
    }
    // Without a display or a file association the shell cannot open the
    // file either: that failure has a line of its own.
    run.failed = result != S_OK;
    if (run.failed && result != E_INVALIDARG) return HResultText("InvokeCommand", result);
    return CheckLines(written, run.failed, L"InvokeCommand", {kBadAlloc, L"::ShellExecuteEx failed "});
}

Problem CommandStringScenario(const Context& c, Run& run, UINT kind) {
    ComRef<IShellExtInit> handler = NewHandler(*c.server);
    ComRef<IContextMenu> menu = MenuOf(handler.get());
    wchar_t buffer[128] = {};
    const HRESULT result = Armed(*c.faults, run, [&] {
        return menu->GetCommandString(0, kind, nullptr, reinterpret_cast<CHAR*>(buffer), 128);
    });
    run.failed = result != S_OK;
    if (run.failed && result != E_INVALIDARG) return HResultText("GetCommandString", result);
    if (!run.failed) {
        const bool right = kind == GCS_VERBW ? std::wcscmp(buffer, L"Tessaly") == 0
                                             : std::strcmp(reinterpret_cast<const char*>(buffer),
                                                           "View recently accessed/modified files in a folder") == 0;
        if (!right) return "success with a wrong text";
    }
    return CheckLines(c.lines->Take(), run.failed, L"GetCommandString");
}

// A fresh load each time, so the class factory is made under the fault.
Problem ClassObjectScenario(const Context& c, Run& run, REFCLSID classId, REFIID iid) {
    LoadedServer server;
    const Faults faults(server);
    Problem problem;
    {
        ComRef<IClassFactory> factory;
        ComRef<IUnknown> handler;
        HRESULT made = S_OK;
        const HRESULT got = Armed(faults, run, [&] {
            const HRESULT result = server.GetClassObject(classId, IID_IClassFactory, factory.out());
            if (result == S_OK) made = factory->CreateInstance(nullptr, iid, handler.out());
            return result;
        });
        run.failed = got != S_OK || made != S_OK;
        if (got != S_OK && got != E_OUTOFMEMORY) problem = HResultText("DllGetClassObject", got);
        if (made != S_OK && made != E_OUTOFMEMORY) problem = HResultText("CreateInstance", made);
        if ((got != S_OK && factory.get() != nullptr) || (made != S_OK && handler.get() != nullptr))
            problem = "a failure that hands out an object";
        if (!c.lines->Take().empty() && problem.empty()) problem = "a debug line from DllGetClassObject";
    }
    if (problem.empty() && server.CanUnloadNow() != S_OK) problem = "module still locked afterwards";
    return problem;
}

// Beside the other build, every failure must also leave what it needs.
Problem RegistrationScenario(const Context& c, Run& run, bool doRegister, bool besideOther = false) {
    std::unique_ptr<OtherBuild> other;
    if (besideOther) other = std::make_unique<OtherBuild>();
    if (!doRegister && c.server->RegisterServer() != S_OK) return "set-up: registration failed";
    const HRESULT result = Armed(*c.faults, run, [&] {
        return doRegister ? c.server->RegisterServer() : c.server->UnregisterServer();
    });
    run.failed = result != S_OK;
    Problem problem;
    if (!c.lines->Take().empty()) problem = "registration wrote a debug line";
    if (problem.empty() && run.failed && result != E_OUTOFMEMORY) problem = HResultText("registration", result);
    if (problem.empty() && besideOther) problem = OtherBuild::Check();
    if (problem.empty() && doRegister) problem = CheckRegistryBlocks(!run.failed, besideOther);
    if (problem.empty() && !doRegister && !run.failed) problem = CheckRegistryEmpty(besideOther);
    // Whatever a failure left, a sound unregistration takes it all away.
    if (c.server->UnregisterServer() != S_OK && problem.empty()) problem = "clean-up unregistration failed";
    if (problem.empty()) problem = CheckRegistryEmpty(besideOther);
    if (problem.empty() && besideOther) problem = OtherBuild::Check();
    return problem;
}

// ---- the Explorer command of Windows 11's menu -------------------------------

constexpr const wchar_t* kCommand = L"CTessalyCommand::";

// A command that GetState showed for the folder, nothing armed, its lines
// taken: what the scenarios of its later calls start from.
Problem ShownCommand(const Context& c, ComRef<IExplorerCommand>& command) {
    command = NewCommand(*c.server);
    EXPCMDSTATE state = ECS_HIDDEN;
    if (command->GetState(FolderItemArray(c.folder).get(), TRUE, &state) != S_OK || state != ECS_ENABLED)
        return "set-up: GetState did not show the command";
    c.lines->Take();
    return "";
}

Problem CommandStateScenario(const Context& c, Run& run) {
    ComRef<IExplorerCommand> command = NewCommand(*c.server);
    const ComRef<IShellItemArray> items = FolderItemArray(c.folder);
    EXPCMDSTATE state = ECS_HIDDEN;
    const HRESULT result = Armed(*c.faults, run, [&] { return command->GetState(items.get(), FALSE, &state); });
    run.failed = result != S_OK;
    if (run.failed && result != E_FAIL) return HResultText("GetState", result);
    if (!run.failed && state != ECS_ENABLED) return "success without showing the folder's command";
    return CheckLines(c.lines->Take(), run.failed, L"GetState", {kBadAlloc}, kCommand);
}

Problem SubCommandsScenario(const Context& c, Run& run) {
    ComRef<IExplorerCommand> command;
    if (Problem problem = ShownCommand(c, command); !problem.empty()) return problem;
    ComRef<IEnumExplorerCommand> list;
    const HRESULT result = Armed(*c.faults, run, [&] {
        return command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out()));
    });
    run.failed = result != S_OK;
    if (run.failed && (result != E_FAIL || list.get() != nullptr)) return HResultText("EnumSubCommands", result);
    int listed = 0;
    for (ComRef<IExplorerCommand> sub; list.get() != nullptr && list->Next(1, reinterpret_cast<IExplorerCommand**>(sub.out()), nullptr) == S_OK;)
        ++listed;
    // 25 accessed, a separator, 25 modified, a separator, "Options...".
    if (!run.failed && listed != 53) return "success with " + std::to_string(listed) + " subcommands";
    return CheckLines(c.lines->Take(), run.failed, L"EnumSubCommands", {kBadAlloc}, kCommand);
}

// A text of the command that is made when asked for: GetIcon or GetToolTip.
Problem CommandTextScenario(const Context& c, Run& run, HRESULT (STDMETHODCALLTYPE IExplorerCommand::*get)(IShellItemArray*, LPWSTR*),
                            const wchar_t* operation) {
    ComRef<IExplorerCommand> command = NewCommand(*c.server);
    LPWSTR text = nullptr;
    const HRESULT result = Armed(*c.faults, run, [&] { return (command.get()->*get)(nullptr, &text); });
    const bool given = text != nullptr && text[0] != L'\0';
    ::CoTaskMemFree(text);
    run.failed = result != S_OK;
    if (run.failed && (result != E_FAIL || text != nullptr)) return HResultText("a command text", result);
    if (!run.failed && !given) return "success without a text";
    return CheckLines(c.lines->Take(), run.failed, operation, {kBadAlloc}, kCommand);
}

// The first subcommand (the newest accessed file) and its list, nothing armed.
Problem FirstSubCommand(const Context& c, ComRef<IEnumExplorerCommand>& list, ComRef<IExplorerCommand>& first) {
    ComRef<IExplorerCommand> command;
    if (Problem problem = ShownCommand(c, command); !problem.empty()) return problem;
    if (command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out())) != S_OK ||
        list->Next(1, reinterpret_cast<IExplorerCommand**>(first.out()), nullptr) != S_OK)
        return "set-up: no subcommand";
    c.lines->Take();
    return "";
}

Problem SubCommandInvokeScenario(const Context& c, Run& run) {
    ComRef<IEnumExplorerCommand> list;
    ComRef<IExplorerCommand> first;
    if (Problem problem = FirstSubCommand(c, list, first); !problem.empty()) return problem;
    const HRESULT result = Armed(*c.faults, run, [&] { return first->Invoke(nullptr, nullptr); });
    // Without a display or a file association the shell cannot open the
    // file: that failure has a line of its own.
    run.failed = result != S_OK;
    if (run.failed && result != E_FAIL) return HResultText("Invoke", result);
    return CheckLines(c.lines->Take(), run.failed, L"Invoke", {kBadAlloc, L"::ShellExecuteEx failed "},
                      L"CTessalySubCommand::");
}

Problem EnumeratorCloneScenario(const Context& c, Run& run) {
    ComRef<IEnumExplorerCommand> list;
    ComRef<IExplorerCommand> first;
    if (Problem problem = FirstSubCommand(c, list, first); !problem.empty()) return problem;
    ComRef<IEnumExplorerCommand> clone;
    const HRESULT result = Armed(*c.faults, run, [&] {
        return list->Clone(reinterpret_cast<IEnumExplorerCommand**>(clone.out()));
    });
    run.failed = result != S_OK;
    if (run.failed && (result != E_OUTOFMEMORY || clone.get() != nullptr)) return HResultText("Clone", result);
    return CheckLines(c.lines->Take(), run.failed, L"Clone", {kBadAlloc}, L"CTessalyCommandEnum::");
}

// ---- the options sheet -------------------------------------------------------

constexpr int kAboutPage = 1;
constexpr int kUninstallPage = 2;
// What the sheet opens with, and what each scenario's clicks leave.
constexpr MenuSettings kOld{1, 0, 10, 3, 1, 0};
constexpr MenuSettings kApplied{1, 1, 20, 3, 1, 1};  // count 20, modified on, Monday
constexpr MenuSettings kOk{1, 1, 20, 7, 1, 1};       // and then 7 days

bool operator==(const MenuSettings& a, const MenuSettings& b) {
    return a.accessed == b.accessed && a.modified == b.modified && a.fileCount == b.fileCount &&
           a.highlightDays == b.highlightDays && a.showTimeHint == b.showTimeHint && a.weekStart == b.weekStart;
}

MenuSettings StoredSettings() {
    MenuSettings stored;
    const std::pair<const wchar_t*, DWORD*> values[] = {
        {L"ShowRecentAccessed", &stored.accessed}, {L"ShowRecentModified", &stored.modified},
        {L"FileCount", &stored.fileCount},         {L"HighlightDays", &stored.highlightDays},
        {L"ShowTimeHint", &stored.showTimeHint},   {L"WeekStart", &stored.weekStart},
    };
    for (const auto& [name, value] : values) {
        DWORD size = sizeof(DWORD);
        ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quenbridge\\Tessaly", name, RRF_RT_REG_DWORD, nullptr, value,
                       &size);
    }
    return stored;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Calls show on this thread while another drives the sheet it opens. A sheet
// that a failure kept open is cancelled, then closed, so no run hangs; whether
// the sheet was seen at all is noted.
HRESULT DriveSheet(const std::function<HRESULT()>& show, const std::function<void(const SheetUser&)>& drive,
                   bool& shown) {
    const DWORD sheetThread = ::GetCurrentThreadId();
    std::atomic<bool> ended{false};
    std::thread driver([&] {
        HWND sheet = nullptr;
        WaitUntil([&] {
            sheet = ::FindWindowW(L"#32770", L"Tessaly 1.0 Beta");
            return ended || (sheet != nullptr && ::IsWindowVisible(sheet));
        });
        if (ended || sheet == nullptr) return;
        shown = true;
        const SheetUser user(sheet);
        user.Draw();
        drive(user);
        if (WaitUntil([&] { return ended.load(); }, std::chrono::milliseconds(5000))) return;
        user.PressCancel();
        WaitUntil([&] {
            ::EnumThreadWindows(sheetThread, CloseWindowOf, 0);
            return ended.load();
        });
    });
    const HRESULT result = show();
    ended = true;
    driver.join();
    return result;
}

// The lines a sheet run may write: none, or one of its firewalls' for the
// allocation failure (without the message when the report's own allocation
// failed too), or the Uninstall page's own.
Problem CheckSheetLines(const std::vector<std::wstring>& written) {
    if (written.empty()) return "";
    if (written.size() > 1) return std::to_string(written.size()) + " debug lines";
    const std::wstring& line = written[0];
    for (const wchar_t* owner : {L"CTessalyShExt::InvokeCommand", L"CPropertyPage::DialogProc"})
        for (const std::wstring& message : {kBadAlloc, std::wstring()})
            if (line == L"Tessaly: Exception in " + std::wstring(owner) + L": " + message) return "";
    if (line.rfind(L"Tessaly: OptionsPage_Uninstall::OnBnClickedButtonUninstall/ShellExecuteEx failed ", 0) == 0)
        return "";
    return "unexpected debug line: " + Narrow(line);
}

// "Options..." of a fresh menu, its sheet driven by drive; afterwards the
// settings must be one of states.
Problem SheetScenario(const Context& c, Run& run, const std::function<void(const SheetUser&)>& drive,
                      const std::vector<MenuSettings>& states) {
    StoreSettings(kOld);
    ComRef<IContextMenu> menu;
    HRESULT built = E_FAIL;
    if (Problem problem = BuildMenu(c, menu, built); !problem.empty()) return problem;
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(HRESULT_CODE(built) - 1);  // "Options..."

    const int unanswered = ::testing::UnitTest::GetInstance()->ad_hoc_test_result().total_part_count();
    bool shown = false;
    std::wstring count;  // what the Settings page shows as it opens
    const auto look = [&](const SheetUser& user) {
        count = user.Text(IDC_FILE_COUNT);
        drive(user);
    };
    const HRESULT result =
        Armed(*c.faults, run, [&] { return DriveSheet([&] { return menu->InvokeCommand(&invoke); }, look, shown); });
    const std::vector<std::wstring> written = c.lines->Take();
    run.failed = !written.empty();
    if (::testing::UnitTest::GetInstance()->ad_hoc_test_result().total_part_count() != unanswered)
        return "the sheet did not answer";
    if (result != S_OK && result != E_INVALIDARG) return HResultText("InvokeCommand", result);
    // Once the sheet is up, failures stay inside its pages.
    if (result != S_OK && shown) return "InvokeCommand failed after the sheet was shown";
    if (const Problem problem = CheckSheetLines(written); !problem.empty()) return problem;
    // Read or not, the page shows settings a user can work on.
    const long shownCount = std::wcstol(count.c_str(), nullptr, 10);
    if (shown && (shownCount < 5 || shownCount > 25))
        return "the Settings page shows a count of \"" + Narrow(count) + "\"";
    const MenuSettings stored = StoredSettings();
    for (const MenuSettings& state : states)
        if (stored == state) return "";
    char text[128];
    std::snprintf(text, sizeof text, "settings left mixed: %lu %lu %lu %lu %lu %lu", stored.accessed,
                  stored.modified, stored.fileCount, stored.highlightDays, stored.showTimeHint, stored.weekStart);
    return text;
}

// A change the Apply button takes: count 20, the modified list on, Monday.
void ChangeAndApply(const SheetUser& user) {
    user.MoveSlider(IDC_FILE_COUNT_SLIDER, 4);
    user.Click(IDC_SHOW_MODIFIED);
    user.Click(IDC_WEEK_MONDAY);
    user.PressApply();
}

// Points at the middle of the link's text and presses the button there.
void ClickTheLink(const SheetUser& user) {
    user.ShowPage(kAboutPage);
    const HWND link = user.Control(IDC_WEB_LINK);
    POINTL first{}, end{};
    user.Send(link, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
    user.Send(link, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), user.Send(link, WM_GETTEXTLENGTH));
    RECT lines{};
    user.Send(link, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lines));
    POINT middle{(first.x + end.x) / 2, (lines.top + lines.bottom) / 2};
    ::ClientToScreen(link, &middle);
    ::SetCursorPos(middle.x, middle.y);
    const HWND page = user.Page();
    user.Send(page, WM_SETCURSOR, reinterpret_cast<WPARAM>(page), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    user.Send(page, WM_LBUTTONDOWN, MK_LBUTTON, 0);
}

std::vector<Scenario> SheetScenarios() {
    const auto sheet = [](const char* name, std::function<void(const SheetUser&)> drive,
                          std::vector<MenuSettings> states) {
        return Scenario{name, false,
                        [drive, states](const Context& c, Run& r) { return SheetScenario(c, r, drive, states); },
                        false, true};
    };
    return {
        sheet("Options: change, Apply, change, OK",
              [](const SheetUser& user) {
                  ChangeAndApply(user);
                  user.MoveSlider(IDC_HIGHLIGHT_DAYS_SLIDER, 7);
                  user.PressOk();
              },
              {kOld, kApplied, kOk}),
        sheet("Options: change, About link, Cancel",
              [](const SheetUser& user) {
                  user.MoveSlider(IDC_FILE_COUNT_SLIDER, 4);
                  user.Click(IDC_SHOW_TIME_HINT);
                  ClickTheLink(user);
                  user.PressCancel();
              },
              {kOld}),
        sheet("Options: change, Apply, Uninstall",
              [](const SheetUser& user) {
                  ChangeAndApply(user);
                  user.MoveSlider(IDC_HIGHLIGHT_DAYS_SLIDER, 7);
                  user.ShowPage(kUninstallPage);
                  user.Click(IDC_UNINSTALL);
              },
              {kOld, kApplied}),
    };
}

std::vector<Scenario> Scenarios() {
    using namespace std::placeholders;
    return {
        {"Initialize(item list)", false, [](const Context& c, Run& r) { return InitializeScenario(c, r, false); }},
        {"Initialize(data object)", false, [](const Context& c, Run& r) { return InitializeScenario(c, r, true); }},
        {"QueryContextMenu(40 files)", true, MenuScenario},
        {"QueryContextMenu(120 files, worker threads that cannot start)", true, ThreadStartScenario},
        {"InvokeCommand(file)", false, [](const Context& c, Run& r) { return InvokeScenario(c, r, 0); }},
        {"InvokeCommand(offset out of range)", false,
         [](const Context& c, Run& r) { return InvokeScenario(c, r, 500); }},
        {"GetCommandString(GCS_HELPTEXTA)", true,
         [](const Context& c, Run& r) { return CommandStringScenario(c, r, GCS_HELPTEXTA); }},
        {"GetCommandString(GCS_VERBW)", true,
         [](const Context& c, Run& r) { return CommandStringScenario(c, r, GCS_VERBW); }},
        {"DllGetClassObject+CreateInstance", false,
         [](const Context& c, Run& r) { return ClassObjectScenario(c, r, kHandlerClass, IID_IShellExtInit); }, true},
        {"DllGetClassObject+CreateInstance(command)", false,
         [](const Context& c, Run& r) { return ClassObjectScenario(c, r, kCommandClass, IID_IExplorerCommand); }, true},
        {"ExplorerCommand GetState(folder)", true, CommandStateScenario},
        {"ExplorerCommand EnumSubCommands(40 files)", true, SubCommandsScenario},
        {"ExplorerCommand GetIcon", false,
         [](const Context& c, Run& r) { return CommandTextScenario(c, r, &IExplorerCommand::GetIcon, L"GetIcon"); }},
        {"ExplorerCommand GetToolTip", false, [](const Context& c, Run& r) {
             return CommandTextScenario(c, r, &IExplorerCommand::GetToolTip, L"GetToolTip");
         }},
        {"subcommand Invoke(file)", false, SubCommandInvokeScenario},
        {"subcommands' Clone", false, EnumeratorCloneScenario},
        {"DllRegisterServer", false, [](const Context& c, Run& r) { return RegistrationScenario(c, r, true); }},
        {"DllUnregisterServer", false, [](const Context& c, Run& r) { return RegistrationScenario(c, r, false); }},
        {"DllRegisterServer beside the other build", false,
         [](const Context& c, Run& r) { return RegistrationScenario(c, r, true, true); }},
        {"DllUnregisterServer beside the other build", false,
         [](const Context& c, Run& r) { return RegistrationScenario(c, r, false, true); }},
    };
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool quick = argc > 1 && std::wcscmp(argv[1], L"--quick") == 0;
    const bool sheet = argc > 1 && std::wcscmp(argv[1], L"--sheet") == 0;
    try {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
        StoreSettings(MenuSettings{1, 1, 25});
        // The About link and the Uninstall button start the recorder beside this program.
        LaunchRecord::HandleScheme(L"https");
        const LaunchRecord launches;
        ScratchFolder folder(L"faults");
        folder.MakeFiles(40);
        const PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(folder.Path().c_str());
        DllDebugLines lines;
        long points = 0, faults = 0;
        for (const Scenario& scenario : sheet ? SheetScenarios() : Scenarios()) {
            if (quick && !scenario.quick) continue;
            // A scenario that loads the DLL itself needs it unloaded between
            // runs, so that its class factory is made afresh each time.
            std::unique_ptr<LoadedServer> server;
            std::unique_ptr<Faults> armer;
            if (!scenario.loadsItself) {
                server = std::make_unique<LoadedServer>();
                armer = std::make_unique<Faults>(*server);
            }
            const Context context{server.get(), armer.get(), &lines, folder.Path(), list};
            // Each run is measured: its heap blocks exactly (they must all be
            // freed), the handle-table slots over the whole scenario (a freed
            // slot may come back in another order, so one run can look higher
            // while nothing is lost; a leak per failure point adds up).
            const auto measuredRun = [&](long nth, Run& run) {
                run.nth = nth;
                run.burst = scenario.sheet ? 2 : 1;
                const long long heapBefore = HeapBusyBytes();
                Problem problem = scenario.run(context, run);
                lines.Take();
                const long long heapAfter = HeapBusyBytes();
                if (problem.empty() && heapAfter > heapBefore)
                    problem = std::to_string(heapAfter - heapBefore) + " heap bytes left";
                return problem;
            };
            // Three runs first, one of them with the first allocation failing:
            // what stays loaded after a first use gets loaded (the runtime
            // keeps what its first exception needs; the system what it opens
            // for the first debug line).
            ::OutputDebugStringW(L"fault runner: warming up");
            lines.Take();
            (void)ResourceCounts::Now();
            const long warmUp[] = {0, 1, 0};
            for (std::size_t i = 0; i < 3; ++i) {
                Run run;
                const Problem problem = measuredRun(warmUp[i], run);
                if (!problem.empty() && i == 2) {
                    std::printf("%s: fails without a fault: %s\n", scenario.name, problem.c_str());
                    ++faults;
                }
            }
            const ResourceCounts before = ResourceCounts::Now();
            long tried = 0, found = 0;
            for (long nth = 1; nth < 100000; ++nth) {
                Run run;
                const Problem problem = measuredRun(nth, run);
                if (!run.fired) break;  // ran clean: every allocation point was tried
                ++tried;
                if (!problem.empty()) {
                    ++found;
                    if (found <= 5)
                        std::printf("%s: allocation %ld fails: %s%s\n", scenario.name, nth, problem.c_str(),
                                    run.failed ? "" : " (reported success)");
                }
                std::fflush(stdout);
            }
            const ResourceCounts after = ResourceCounts::Now();
            const auto grew = [](unsigned from, unsigned to) { return to > from + 16; };
            if (grew(before.gdiObjects, after.gdiObjects) || grew(before.userObjects, after.userObjects) ||
                grew(before.kernelSlot, after.kernelSlot)) {
                ++found;
                std::printf("%s: handles left: GDI objects %lu -> %lu, USER objects %lu -> %lu, kernel slot %u -> %u\n",
                            scenario.name, before.gdiObjects, after.gdiObjects, before.userObjects, after.userObjects,
                            before.kernelSlot, after.kernelSlot);
            }
            std::printf("scenario %s: %ld failure points, %ld faults\n", scenario.name, tried, found);
            std::fflush(stdout);
            points += tried;
            faults += found;
        }
        ::ILFree(list);
        std::printf("fault-injection: %ld failure points tried, %ld faults found\n", points, faults);
        ::CoUninitialize();
        return faults == 0 ? 0 : 1;
    } catch (const std::exception& failure) {
        std::printf("fault runner: %s\n", failure.what());
        return 2;
    }
}
