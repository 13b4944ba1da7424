#include "tools/soak/SoakCalls.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <set>
#include <stdexcept>

namespace tessaly::soak {

namespace {

const char* const kEntryNames[] = {"DllGetClassObject", "DllCanUnloadNow", "CreateInstance", "LockServer",
                                   "QueryInterface",    "AddRef/Release",  "Initialize",     "QueryContextMenu",
                                   "GetCommandString",  "InvokeCommand",   "registration",   "settings",
                                   "ExplorerCommand"};
const std::wstring kEntryLine = L"Tessaly: Exception in CTessalyShExt::";
constexpr char kHelpText[] = "View recently accessed/modified files in a folder";
constexpr char kVerb[] = "Tessaly";

std::string Hex(long value) { return Format("0x%08lx", static_cast<unsigned long>(value)); }

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
    return narrow;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.rfind(start, 0) == 0; }
bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The folder scan's line for a file it cannot open: the path in quotes, then
// the system's reason and code in parentheses.
bool IsScanLine(const std::wstring& line) {
    return StartsWith(line, L"Tessaly: CreateFile failed for file \"") && line.find(L"\" ( ") != std::wstring::npos &&
           line.find(L" (0x") != std::wstring::npos && EndsWith(line, L"))");
}

const char* IidName(REFIID iid) {
    const std::pair<const IID*, const char*> names[] = {{&IID_IUnknown, "IUnknown"},
                                                        {&IID_IClassFactory, "IClassFactory"},
                                                        {&IID_IClassFactory2, "IClassFactory2"},
                                                        {&IID_IShellExtInit, "IShellExtInit"},
                                                        {&IID_IContextMenu, "IContextMenu"},
                                                        {&IID_IContextMenu2, "IContextMenu2"},
                                                        {&IID_IContextMenu3, "IContextMenu3"},
                                                        {&IID_IDataObject, "IDataObject"},
                                                        {&IID_IShellPropSheetExt, "IShellPropSheetExt"}};
    for (const auto& [id, name] : names)
        if (IsEqualIID(iid, *id)) return name;
    return "another interface";
}

}  // namespace

const char* CheckName(Check check) {
    const char* const names[] = {"", "result", "command ids", "debug line", "buffer", "release", "growth"};
    return names[static_cast<int>(check)];
}

Sequence MakeSequence(std::uint64_t seed, std::uint64_t index) {
    Rng rng(Mix(seed, index));
    const std::pair<Entry, unsigned> weights[] = {
        {Entry::DllGetClassObject, 5}, {Entry::CreateInstance, 9},    {Entry::LockServer, 3},
        {Entry::QueryInterface, 6},    {Entry::AddRefRelease, 10},    {Entry::Initialize, 16},
        {Entry::QueryContextMenu, 14}, {Entry::GetCommandString, 12}, {Entry::InvokeCommand, 9},
        {Entry::Registration, 1},      {Entry::Settings, 8},          {Entry::DllCanUnloadNow, 4},
        {Entry::ExplorerCommand, 8}};
    unsigned total = 0;
    for (const auto& weight : weights) total += weight.second;
    Sequence sequence;
    // A factory and a handler first, so that most calls have something to work on.
    sequence.calls.push_back({Entry::DllGetClassObject, rng.Next()});
    sequence.calls.push_back({Entry::CreateInstance, rng.Next()});
    for (unsigned count = 1 + rng.Below(48); count > 0; --count) {
        unsigned draw = rng.Below(total);
        for (const auto& [entry, weight] : weights) {
            if (draw < weight) {
                sequence.calls.push_back({entry, rng.Next()});
                break;
            }
            draw -= weight;
        }
    }
    sequence.endSeed = rng.Next();
    return sequence;
}

void ResultsSeen::Add(Entry entry, long result) {
    const int e = static_cast<int>(entry);
    for (int i = 0; i < m_counts[e]; ++i)
        if (m_results[e][i] == result) return;
    if (m_counts[e] < kMax) m_results[e][m_counts[e]++] = result;
}

std::string ResultsSeen::Report() const {
    std::string report;
    for (int e = 0; e < static_cast<int>(Entry::Count); ++e) {
        if (m_counts[e] == 0) continue;
        report += Format("  %-18s", kEntryNames[e]);
        for (int i = 0; i < m_counts[e]; ++i) report += " " + Hex(m_results[e][i]);
        report += "\n";
    }
    return report;
}

// ---- the objects the caller holds -------------------------------------------

struct Runner::Handler {
    std::string name;
    IShellExtInit* init = nullptr;  // held by the references below
    IContextMenu* menu = nullptr;
    IUnknown* identity = nullptr;         // what IUnknown answers
    long references = 0;                  // ours; for the aggregated form, the outer object's count
    long itemCount = 0;                   // file items of the last menu built; -1 when not known
    std::vector<std::wstring> fileNames;  // the names its file items show, by offset
};

// One reference the caller holds; handler -1 is the class factory.
struct Runner::Ref {
    int handler;
    IUnknown* pointer;
};

// The outer object of an aggregate: answers IUnknown itself, asks the inner
// object for everything else, and releases it when it goes.
class Runner::Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        if (inner == nullptr) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return inner->QueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++count); }
    STDMETHODIMP_(ULONG) Release() override {
        const long left = --count;
        if (left == 0) {
            if (inner != nullptr) inner->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    IUnknown* inner = nullptr;
    long count = 1;
};

Runner::Runner(const testing::LoadedServer& server, const Places& places, testing::DllDebugLines& lines,
               ResultsSeen& seen, bool print)
    : m_server(server), m_places(places), m_lines(lines), m_seen(seen), m_print(print) {
    // Output buffers end where this page ends: writing past them faults.
    m_guarded = static_cast<char*>(::VirtualAlloc(nullptr, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (m_guarded == nullptr || !::VirtualProtect(m_guarded + 4096, 4096, PAGE_NOACCESS, &old))
        throw std::runtime_error("no guarded page");
}

Runner::~Runner() { ::VirtualFree(m_guarded, 0, MEM_RELEASE); }

void Runner::Run(const Sequence& sequence, const std::vector<bool>* keep) {
    RemoveSettings();
    m_handlers.clear();
    m_refs.clear();
    m_factoryRefs = 0;
    m_serverLocks = 0;
    m_lines.Take();
    for (std::size_t i = 0; i < sequence.calls.size(); ++i) {
        if (keep != nullptr && !(*keep)[i]) continue;
        m_step = static_cast<int>(i);
        m_current = kEntryNames[static_cast<int>(sequence.calls[i].entry)];
        Step(sequence.calls[i]);
    }
    m_step = static_cast<int>(sequence.calls.size());
    Rng rng(sequence.endSeed);
    ReleaseEverything(rng);
}

void Runner::Step(const Call& call) {
    Rng rng(call.seed);
    switch (call.entry) {
        case Entry::DllGetClassObject: return GetClassObject(rng);
        case Entry::DllCanUnloadNow: return CanUnloadNow();
        case Entry::CreateInstance: return CreateInstance(rng);
        case Entry::LockServer: return LockServer(rng);
        case Entry::QueryInterface: return QueryInterface(rng);
        case Entry::AddRefRelease: return AddRefRelease(rng, true);
        case Entry::Initialize: return Initialize(rng);
        case Entry::QueryContextMenu: return QueryContextMenu(rng);
        case Entry::GetCommandString: return GetCommandString(rng);
        case Entry::InvokeCommand: return InvokeCommand(rng);
        case Entry::Registration: return Registration(rng);
        case Entry::Settings: {
            const std::string what = WriteRandomSetting(rng);
            if (m_print) std::printf("  #%d settings: %s\n", m_step, what.c_str());
            return;
        }
        case Entry::ExplorerCommand: return ExplorerCommand(rng);
        case Entry::Count: break;
    }
}

// ---- checks -------------------------------------------------------------------

void Runner::Expect(bool sound, Check check, const std::string& what) const {
    if (!sound) throw Fault{check, Format("#%d %s: ", m_step, m_current.c_str()) + what};
}

// Printed before the call, so that a crash shows which call it was.
void Runner::Calling(const std::string& what) {
    m_current = what;
    if (m_print) std::printf("  #%d %s", m_step, what.c_str());
}

void Runner::Result(Entry entry, long result) {
    ++m_calls;
    m_seen.Add(entry, result);
    if (m_print) std::printf(" -> %s\n", Hex(result).c_str());
}

std::vector<std::wstring> Runner::Lines() {
    std::vector<std::wstring> lines = m_lines.Take();
    for (const std::wstring& line : lines) {
        if (m_print) std::printf("     debug line: %s\n", Narrow(line).c_str());
        // One DebugText buffer of 1024 characters, the terminator included.
        Expect(StartsWith(line, L"Tessaly: ") && line.size() <= 1023 && line.find(L'\0') == std::wstring::npos,
               Check::DebugLine, "malformed debug line: " + Narrow(line));
    }
    return lines;
}

void Runner::NoLines() {
    const std::vector<std::wstring> lines = Lines();
    Expect(lines.empty(), Check::DebugLine, "unexpected debug line: " + (lines.empty() ? "" : Narrow(lines[0])));
}

Runner::Handler* Runner::PickHandler(Rng& rng) {
    std::vector<Handler*> alive;
    for (Handler& handler : m_handlers)
        if (handler.references > 0) alive.push_back(&handler);
    if (alive.empty()) {
        if (m_print) std::printf("  #%d %s: no handler to call\n", m_step, m_current.c_str());
        return nullptr;
    }
    return alive[rng.Below(static_cast<std::uint32_t>(alive.size()))];
}

long Runner::ExpectedLocks() const {
    long locks = m_serverLocks + (m_factoryRefs > 0 ? 1 : 0);
    for (const Handler& handler : m_handlers) locks += handler.references > 0 ? 1 : 0;
    return locks;
}

IClassFactory* Runner::Factory() const {
    for (const Ref& ref : m_refs)
        if (ref.handler < 0) return static_cast<IClassFactory*>(static_cast<void*>(ref.pointer));
    return nullptr;
}

// ---- the exports and the class factory ----------------------------------------

void Runner::GetClassObject(Rng& rng) {
    const IID* const iids[] = {&IID_IClassFactory, &IID_IClassFactory, &IID_IUnknown, &IID_IClassFactory2,
                               &IID_IShellExtInit};
    const bool ours = rng.Percent(85);
    const IID& iid = *rng.Pick(iids);
    CLSID other;
    for (unsigned char& byte : reinterpret_cast<unsigned char(&)[sizeof other]>(other))
        byte = static_cast<unsigned char>(rng.Below(256));
    void* object = &object;
    Calling(Format("DllGetClassObject(%s, %s)", ours ? "handler class" : "another class", IidName(iid)));
    const HRESULT result = m_server.GetClassObject(ours ? testing::kHandlerClass : other, iid, &object);
    Result(Entry::DllGetClassObject, result);
    const bool served = ours && (IsEqualIID(iid, IID_IClassFactory) || IsEqualIID(iid, IID_IUnknown));
    const HRESULT expected = !ours ? CLASS_E_CLASSNOTAVAILABLE : served ? S_OK : E_NOINTERFACE;
    Expect(result == expected, Check::Result, "expected " + Hex(expected));
    Expect((object != nullptr) == served, Check::Result, "the pointer does not go with the result");
    NoLines();
    if (!served) return;
    // The class map keeps one factory for the life of the module.
    if (m_firstFactory == nullptr) m_firstFactory = object;
    Expect(object == m_firstFactory, Check::Result, "a second class factory");
    m_refs.push_back({-1, static_cast<IUnknown*>(object)});
    ++m_factoryRefs;
}

void Runner::CanUnloadNow() {
    Calling(Format("DllCanUnloadNow() with %ld locks", ExpectedLocks()));
    const HRESULT result = m_server.CanUnloadNow();
    Result(Entry::DllCanUnloadNow, result);
    const HRESULT expected = ExpectedLocks() == 0 ? S_OK : S_FALSE;
    Expect(result == expected, Check::Released, "expected " + Hex(expected));
    NoLines();
}

void Runner::CreateInstance(Rng& rng) {
    IClassFactory* factory = Factory();
    const IID* const iids[] = {&IID_IShellExtInit, &IID_IContextMenu,  &IID_IUnknown,
                               &IID_IContextMenu2, &IID_IClassFactory, &IID_IDataObject};
    const bool aggregated = rng.Percent(35);
    const IID& iid = aggregated && rng.Percent(70) ? IID_IUnknown : *rng.Pick(iids);
    if (factory == nullptr) return;
    Outer* outer = aggregated ? new Outer : nullptr;
    void* object = &object;
    Calling(Format("CreateInstance(%s, %s)", aggregated ? "outer object" : "no outer object", IidName(iid)));
    const HRESULT result = factory->CreateInstance(outer, iid, &object);
    Result(Entry::CreateInstance, result);
    const bool offered =
        IsEqualIID(iid, IID_IShellExtInit) || IsEqualIID(iid, IID_IContextMenu) || IsEqualIID(iid, IID_IUnknown);
    const HRESULT expected =
        aggregated ? (IsEqualIID(iid, IID_IUnknown) ? S_OK : CLASS_E_NOAGGREGATION) : (offered ? S_OK : E_NOINTERFACE);
    Expect(result == expected, Check::Result, "expected " + Hex(expected));
    Expect((object != nullptr) == (result == S_OK), Check::Result, "the pointer does not go with the result");
    NoLines();
    if (result != S_OK) {
        if (outer != nullptr) outer->Release();
        return;
    }
    Handler handler;
    handler.name = Format("handler %u%s", static_cast<unsigned>(m_handlers.size()), aggregated ? " (aggregated)" : "");
    IUnknown* held = static_cast<IUnknown*>(object);
    if (outer != nullptr) {
        outer->inner = held;
        held = outer;
    }
    // The two interfaces the calls use; the handler's references keep them.
    void* init = nullptr;
    void* menu = nullptr;
    Expect(
        held->QueryInterface(IID_IShellExtInit, &init) == S_OK && held->QueryInterface(IID_IContextMenu, &menu) == S_OK,
        Check::Result, "the new object lacks IShellExtInit or IContextMenu");
    handler.init = static_cast<IShellExtInit*>(init);
    handler.menu = static_cast<IContextMenu*>(menu);
    Expect(handler.init->Release() == 2 && handler.menu->Release() == 1, Check::Result, "wrong reference counts");
    handler.identity = outer != nullptr ? static_cast<IUnknown*>(outer) : static_cast<IUnknown*>(handler.init);
    if (outer == nullptr && IsEqualIID(iid, IID_IUnknown))
        Expect(object == handler.init, Check::Result, "IUnknown is not the IShellExtInit pointer");
    handler.references = 1;
    m_handlers.push_back(handler);
    m_refs.push_back({static_cast<int>(m_handlers.size() - 1), held});
}

void Runner::LockServer(Rng& rng) {
    IClassFactory* factory = Factory();
    const bool lock = m_serverLocks == 0 || rng.Percent(55);
    if (factory == nullptr) return;
    Calling(Format("LockServer(%s)", lock ? "TRUE" : "FALSE"));
    const HRESULT result = factory->LockServer(lock);
    Result(Entry::LockServer, result);
    Expect(result == S_OK, Check::Result, "expected S_OK");
    m_serverLocks += lock ? 1 : -1;
    NoLines();
}

void Runner::QueryInterface(Rng& rng) {
    if (m_refs.empty()) return;
    const Ref ref = m_refs[rng.Below(static_cast<std::uint32_t>(m_refs.size()))];
    const IID* const iids[] = {&IID_IUnknown,      &IID_IShellExtInit, &IID_IContextMenu, &IID_IContextMenu2,
                               &IID_IContextMenu3, &IID_IClassFactory, &IID_IDataObject,  &IID_IShellPropSheetExt};
    const IID& iid = *rng.Pick(iids);
    void* object = &object;
    const Handler* handler = ref.handler < 0 ? nullptr : &m_handlers[static_cast<std::size_t>(ref.handler)];
    Calling(
        Format("QueryInterface(%s, %s)", handler != nullptr ? handler->name.c_str() : "class factory", IidName(iid)));
    const HRESULT result = ref.pointer->QueryInterface(iid, &object);
    Result(Entry::QueryInterface, result);
    const void* expected = nullptr;
    if (handler == nullptr) {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) expected = ref.pointer;
    } else if (IsEqualIID(iid, IID_IUnknown)) {
        expected = handler->identity;
    } else if (IsEqualIID(iid, IID_IShellExtInit)) {
        expected = handler->init;
    } else if (IsEqualIID(iid, IID_IContextMenu)) {
        expected = handler->menu;
    }
    Expect(result == (expected != nullptr ? S_OK : E_NOINTERFACE), Check::Result, "wrong result");
    Expect(object == expected, Check::Result, "wrong interface pointer");
    NoLines();
    if (result != S_OK) return;
    m_refs.push_back({ref.handler, static_cast<IUnknown*>(object)});
    ++(handler == nullptr ? m_factoryRefs : m_handlers[static_cast<std::size_t>(ref.handler)].references);
}

void Runner::AddRefRelease(Rng& rng, bool mayAddRef) {
    if (m_refs.empty()) return;
    const std::size_t index = rng.Below(static_cast<std::uint32_t>(m_refs.size()));
    const Ref ref = m_refs[index];
    long& count = ref.handler < 0 ? m_factoryRefs : m_handlers[static_cast<std::size_t>(ref.handler)].references;
    const long classMapReference = ref.handler < 0 ? 1 : 0;
    const std::string name =
        ref.handler < 0 ? std::string("class factory") : m_handlers[static_cast<std::size_t>(ref.handler)].name;
    ULONG left = 0;
    if (mayAddRef && rng.Percent(25)) {
        Calling("AddRef(" + name + ")");
        left = ref.pointer->AddRef();
        ++count;
        m_refs.push_back(ref);
        Result(Entry::AddRefRelease, static_cast<long>(left));
    } else {
        m_refs.erase(m_refs.begin() + static_cast<std::ptrdiff_t>(index));
        --count;
        Calling("Release(" + name + ")");
        left = ref.pointer->Release();
        Result(Entry::AddRefRelease, static_cast<long>(left));
    }
    Expect(static_cast<long>(left) == count + classMapReference, Check::Released,
           Format("count %lu, expected %ld", left, count + classMapReference));
    NoLines();
}

void Runner::Registration(Rng& rng) {
    const wchar_t* const commandLines[] = {nullptr, L"", L"user", L"USER", L"users", L"machine"};
    const unsigned which = rng.Below(3);
    const bool install = rng.Percent(50);
    const wchar_t* commandLine = rng.Pick(commandLines);
    HRESULT result;
    if (which == 0) {
        Calling("DllRegisterServer()");
        result = m_server.RegisterServer();
    } else if (which == 1) {
        Calling("DllUnregisterServer()");
        result = m_server.UnregisterServer();
    } else {
        Calling(Format("DllInstall(%s, %s)", install ? "TRUE" : "FALSE",
                       commandLine == nullptr ? "null" : ("\"" + Narrow(commandLine) + "\"").c_str()));
        result = m_server.Install(install, commandLine);
    }
    Result(Entry::Registration, result);
    Expect(result == S_OK, Check::Result, "expected S_OK");
    NoLines();
}

void Runner::ReleaseEverything(Rng& rng) {
    m_current = "releasing all that is left";
    if (m_serverLocks > 0 && Factory() == nullptr) {
        void* factory = nullptr;
        Expect(m_server.GetClassObject(testing::kHandlerClass, IID_IClassFactory, &factory) == S_OK, Check::Result,
               "no class factory");
        m_refs.push_back({-1, static_cast<IUnknown*>(factory)});
        ++m_factoryRefs;
    }
    for (; m_serverLocks > 0; --m_serverLocks) Factory()->LockServer(FALSE);
    while (!m_refs.empty()) AddRefRelease(rng, false);
    CanUnloadNow();
}

// ---- the handler ------------------------------------------------------------

void Runner::Initialize(Rng& rng) {
    Handler* handler = PickHandler(rng);
    if (handler == nullptr) return;
    const ItemList items(rng, m_places);
    std::unique_ptr<DropInput> drop;
    if (rng.Percent(65)) drop = std::make_unique<DropInput>(rng, m_places);
    const HKEY progId = rng.Percent(20) ? HKEY_CLASSES_ROOT : nullptr;
    Calling(Format("Initialize(%s, item list: %s, data object: %s)", handler->name.c_str(), items.what.c_str(),
                   drop != nullptr ? drop->what.c_str() : "none"));
    const HRESULT result =
        handler->init->Initialize(items.list, drop != nullptr ? drop->object.get() : nullptr, progId);
    Result(Entry::Initialize, result);
    // A readable drop list decides; only without one does the item list count.
    const bool folder = drop != nullptr && drop->expected != DropOutcome::Unavailable
                            ? drop->expected == DropOutcome::Folder
                            : items.hasPath;
    const HRESULT expected = folder ? S_OK : E_INVALIDARG;
    Expect(result == expected, Check::Result, "expected " + Hex(expected));
    if (drop != nullptr) {
        Expect(testing::OutstandingMedia(drop->data) == 0, Check::Released, "a storage medium was not released");
        drop->object->AddRef();
        Expect(drop->object->Release() == 1, Check::Released, "the data object is still referenced");
    }
    NoLines();
}

void Runner::QueryContextMenu(Rng& rng) {
    Handler* handler = PickHandler(rng);
    if (handler == nullptr) return;
    // The ids the settings call for where the rules fix it: full lists and
    // "Options...", or "Options..." alone when both lists are off.
    const SettingsSeen settings = ReadSettingsAsStored();
    long long needed = -1;
    if (settings.accessed == 0 && settings.modified == 0)
        needed = 1;
    else if (settings.fileCount >= 1)
        needed =
            (settings.accessed != 0 ? settings.fileCount : 0) + (settings.modified != 0 ? settings.fileCount : 0) + 1LL;

    const HMENU menu = rng.Percent(80) ? ::CreatePopupMenu() : ::CreateMenu();
    const UINT existing = rng.Below(6);
    for (UINT i = 0; i < existing; ++i) {
        const unsigned kind = rng.Below(3);
        if (kind == 0) ::AppendMenuW(menu, MF_STRING, 1 + rng.Below(0xFFFF), L"the host's item");
        if (kind == 1) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        if (kind == 2) ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), L"a submenu");
    }
    const UINT positions[] = {0, rng.Below(existing + 1), existing, existing + 3, 0xFFFFFFFF, rng.Below(0x10000)};
    const UINT index = rng.Pick(positions);
    const UINT firsts[] = {0, 1, 100, 0x7000, 0xFFF0, rng.Below(0x10000), 0xFFFFFF00, 0xFFFFFFF0};
    const UINT first = rng.Pick(firsts);
    const long long spans[] = {-3, -1, 0,   1,    2,      10,         20,         21,
                               30, 51, 100, 1000, 0x7FFF, needed - 1, needed - 2, 0xFFFFFFFF};
    const long long end = static_cast<long long>(first) + rng.Pick(spans);
    const UINT last = end > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<UINT>(end);
    const UINT flagSet[] = {CMF_NORMAL,
                            CMF_VERBSONLY,
                            CMF_EXPLORE,
                            CMF_NOVERBS,
                            CMF_CANRENAME,
                            CMF_NODEFAULT,
                            0x40 /* include static */,
                            CMF_EXTENDEDVERBS,
                            0x7F0,
                            CMF_DEFAULTONLY | CMF_EXPLORE};
    const UINT flags = rng.Percent(15)   ? CMF_DEFAULTONLY
                       : rng.Percent(80) ? rng.Pick(flagSet)
                                         : static_cast<UINT>(rng.Next());

    Calling(
        Format("QueryContextMenu(%s, menu of %u items, position %u, ids %u..%u, flags 0x%x; FileCount %ld, "
               "accessed %ld, modified %ld)",
               handler->name.c_str(), existing, index, first, last, flags, static_cast<long>(settings.fileCount),
               static_cast<long>(settings.accessed), static_cast<long>(settings.modified)));
    const HRESULT result = handler->menu->QueryContextMenu(menu, index, first, last, flags);
    Result(Entry::QueryContextMenu, result);
    const UINT after = static_cast<UINT>(::GetMenuItemCount(menu));
    const unsigned long long available = last >= first ? 1ULL + last - first : 0;
    const std::vector<std::wstring> lines = Lines();

    if (flags & CMF_DEFAULTONLY) {
        Expect(result == S_OK && after == existing && lines.empty(), Check::Result, "expected S_OK and no entry");
    } else if (result > 0 && result < 0x10000) {
        const UINT used = static_cast<UINT>(result);
        Expect(used <= available, Check::Ids, "more ids used than given");
        Expect(needed < 0 || available >= static_cast<unsigned long long>(needed), Check::Result,
               "a menu in a range too small for full lists");
        Expect(after == existing + 1, Check::Result, "the shell's menu did not get exactly one entry");
        const HMENU submenu = ::GetSubMenu(menu, static_cast<int>(index < existing ? index : existing));
        Expect(submenu != nullptr, Check::Result, "no submenu where the entry was asked for");
        std::set<UINT> ids;
        UINT lastId = 0;
        std::wstring lastText;
        handler->fileNames.assign(used - 1, L"");
        for (int position = 0; position < ::GetMenuItemCount(submenu); ++position) {
            wchar_t text[600] = {};
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 600;
            ::GetMenuItemInfoW(submenu, static_cast<UINT>(position), TRUE, &info);
            if (info.fType & MFT_SEPARATOR) continue;
            Expect(info.wID >= first && info.wID - first < used && info.wID <= last, Check::Ids,
                   Format("item id %u outside %u..%u", info.wID, first, first + used - 1));
            Expect(ids.insert(info.wID).second, Check::Ids, Format("item id %u used twice", info.wID));
            lastId = info.wID;
            lastText = text;
            // A file item shows its name after the tab, each "&" doubled.
            const wchar_t* tab = std::wcschr(text, L'\t');
            std::wstring name;
            for (const wchar_t* at = tab != nullptr ? tab + 1 : L""; *at != L'\0'; ++at) {
                name += *at;
                if (at[0] == L'&' && at[1] == L'&') ++at;
            }
            if (info.wID - first < used - 1) handler->fileNames[info.wID - first] = name;
        }
        Expect(ids.size() == used, Check::Ids,
               Format("%u ids reported, %u items", used, static_cast<unsigned>(ids.size())));
        Expect(lastText == L"Options..." && lastId == first + used - 1, Check::Ids,
               "\"Options...\" is not the last item with the last id");
        for (const std::wstring& line : lines)
            Expect(IsScanLine(line), Check::DebugLine, "unexpected debug line: " + Narrow(line));
        handler->itemCount = static_cast<long>(used) - 1;
    } else if (result == E_FAIL) {
        Expect(after == existing, Check::Result, "failed, but the shell's menu changed");
        const bool tooFew =
            lines.size() == 1 && lines[0] == kEntryLine + L"QueryContextMenu: Too few command IDs allocated";
        Expect(lines.empty() || tooFew, Check::DebugLine, "unexpected debug line: " + Narrow(lines[0]));
        Expect(needed < 0 || available < static_cast<unsigned long long>(needed), Check::Result,
               "failed although the range suffices");
        // Only the id check leaves the last menu's command map as it was.
        if (!tooFew) handler->itemCount = -1;
    } else {
        Expect(false, Check::Result, "not a result QueryContextMenu may give");
    }
    ::DestroyMenu(menu);
}

void Runner::GetCommandString(Rng& rng) {
    Handler* handler = PickHandler(rng);
    if (handler == nullptr) return;
    const UINT_PTR commands[] = {
        0,      0,       0,
        1,      2,       static_cast<UINT_PTR>(handler->itemCount < 0 ? 0 : handler->itemCount),
        0xFFFF, 0x10000, static_cast<UINT_PTR>(rng.Next())};
    const UINT_PTR command = rng.Pick(commands);
    const UINT kinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0x10, 0x1F, 0xFFFFFFFF, static_cast<UINT>(rng.Next())};
    const UINT kind = rng.Pick(kinds);
    const UINT sizes[] = {0, 1, 2, 3, 7, 8, 9, 10, 49, 50, 51, 64, 260, rng.Below(600)};
    const UINT size = rng.Pick(sizes);
    const std::size_t unit = kind & GCS_UNICODE ? 2 : 1;
    const std::size_t bytes = size * unit;
    // As large as said, and not a byte more.
    char* buffer = m_guarded + 4096 - bytes;
    std::memset(buffer, 0xCD, bytes);
    CHAR* name = size == 0 && rng.Percent(50) ? nullptr : buffer;
    UINT reserved = 0;
    UINT* const reservedPointer = rng.Percent(30) ? &reserved : nullptr;
    Calling(Format("GetCommandString(%s, offset %llu, kind 0x%x, %s of %u characters)", handler->name.c_str(),
                   static_cast<unsigned long long>(command), kind, name == nullptr ? "null buffer" : "buffer", size));
    const HRESULT result = handler->menu->GetCommandString(command, kind, reservedPointer, name, size);
    Result(Entry::GetCommandString, result);
    Expect(result == (command == 0 ? S_OK : E_INVALIDARG), Check::Result, "wrong result");

    // The help text for kinds with bit 0 or 2, then the verb over it for
    // exactly 0 and 4; each copy cut to the buffer, its terminator included.
    std::string expected(bytes, '\xCD');
    const auto copy = [&](const char* text) {
        if (command != 0 || name == nullptr || size == 0) return;
        const std::size_t chars = std::min<std::size_t>(std::strlen(text), size - 1);
        for (std::size_t i = 0; i <= chars; ++i) {
            expected[i * unit] = i < chars ? text[i] : '\0';
            if (unit == 2) expected[i * unit + 1] = '\0';
        }
    };
    if (kind & (GCS_HELPTEXTA | GCS_UNICODE)) copy(kHelpText);
    if (kind == GCS_VERBA || kind == GCS_VERBW) copy(kVerb);
    Expect(std::memcmp(buffer, expected.data(), bytes) == 0, Check::Buffer, "the buffer holds something else");
    NoLines();
}

void Runner::InvokeCommand(Rng& rng) {
    Handler* handler = PickHandler(rng);
    if (handler == nullptr) return;
    const long items = handler->itemCount;
    const char* const verbs[] = {"Tessaly", "open", "", "properties", "Options..."};
    const wchar_t* const wideVerbs[] = {L"Tessaly", L"open", L"", L"properties", L"Options..."};
    const unsigned verb = rng.Below(5);
    const bool asString = items < 0 || rng.Percent(25);
    const UINT offsets[] = {rng.Below(static_cast<UINT>(items) + 1), static_cast<UINT>(items) + 1, 0xFFFF,
                            rng.Below(0x10000)};
    UINT offset = rng.Pick(offsets);
    // Without a display the options sheet cannot be shown: not asked for. A
    // file item is chosen only when it is one of the soak's own (no program
    // can start from them), never one from a folder a garbled list named.
    const bool ours = offset < static_cast<UINT>(items) && offset < handler->fileNames.size() &&
                      m_places.Made(handler->fileNames[offset]);
    if (!asString && offset < static_cast<UINT>(items) + 1 && !ours) offset = static_cast<UINT>(items) + 1;
    CMINVOKECOMMANDINFOEX info = {};
    const bool extended = rng.Percent(40);
    info.cbSize = extended ? sizeof(CMINVOKECOMMANDINFOEX) : sizeof(CMINVOKECOMMANDINFO);
    const DWORD masks[] = {0, CMIC_MASK_FLAG_NO_UI, CMIC_MASK_NOASYNC, CMIC_MASK_ASYNCOK,
                           CMIC_MASK_FLAG_NO_UI | CMIC_MASK_NOASYNC};
    info.fMask = rng.Pick(masks) | (extended && rng.Percent(60) ? CMIC_MASK_UNICODE : 0);
    info.lpVerb = asString ? verbs[verb] : MAKEINTRESOURCEA(offset);
    if (extended) info.lpVerbW = asString ? wideVerbs[verb] : MAKEINTRESOURCEW(offset);
    info.nShow = SW_SHOWNORMAL;
    Calling(asString ? Format("InvokeCommand(%s, verb \"%s\")", handler->name.c_str(), verbs[verb])
                     : Format("InvokeCommand(%s, offset %u of %ld file items)", handler->name.c_str(), offset, items));
    const HRESULT result = handler->menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
    Result(Entry::InvokeCommand, result);
    const std::vector<std::wstring> lines = Lines();
    if (asString || offset > static_cast<UINT>(items)) {
        Expect(result == E_INVALIDARG && lines.empty(), Check::Result, "expected E_INVALIDARG and no line");
    } else {
        // A file item: opened, or (no display, no program for the file) refused with the shell's reason.
        const bool refused = result == E_INVALIDARG && lines.size() == 1 &&
                             StartsWith(lines[0], kEntryLine + L"InvokeCommand: ::ShellExecuteEx failed ") &&
                             EndsWith(lines[0], L")");
        Expect((result == S_OK && lines.empty()) || refused, Check::Result,
               "expected S_OK, or E_INVALIDARG with the failed start's line");
    }
}

}  // namespace tessaly::soak
