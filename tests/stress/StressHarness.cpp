#include "tests/stress/StressHarness.h"

#include "tests/support/GuiObjects.h"

#include <psapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <stdexcept>

namespace tessaly::testing {

// ---- debug lines ----------------------------------------------------------

namespace {

constexpr DWORD kPrintNarrow = 0x40010006;  // DBG_PRINTEXCEPTION_C
constexpr DWORD kPrintWide = 0x4001000A;    // DBG_PRINTEXCEPTION_WIDE_C

std::mutex g_linesMutex;
std::vector<std::wstring> g_lines;
bool g_sawWide = false;

std::wstring Trimmed(std::wstring line) {
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r' || line.back() == L'\0')) line.pop_back();
    return line;
}

LONG CALLBACK CollectPrint(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    if (record->ExceptionCode == kPrintWide) {
        const auto* text = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]);
        std::lock_guard<std::mutex> lock(g_linesMutex);
        g_sawWide = true;
        g_lines.push_back(Trimmed(std::wstring(text, length)));
        // Handled: the system then raises no narrow copy of the same line.
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (record->ExceptionCode == kPrintNarrow) {
        const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        std::lock_guard<std::mutex> lock(g_linesMutex);
        // Where the system raises both forms, the wide one was taken already.
        if (!g_sawWide) {
            const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
            if (chars > 0) ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide.data(), chars);
            g_lines.push_back(Trimmed(wide));
        }
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void* g_handler = nullptr;

}  // namespace

DllDebugLines::DllDebugLines() {
    if (g_handler != nullptr) throw std::logic_error("one DllDebugLines at a time");
    Take();
    g_handler = ::AddVectoredExceptionHandler(1, CollectPrint);
}

DllDebugLines::~DllDebugLines() {
    ::RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
}

std::vector<std::wstring> DllDebugLines::Take() {
    std::lock_guard<std::mutex> lock(g_linesMutex);
    return std::exchange(g_lines, {});
}

// ---- resource counts ------------------------------------------------------

ResourceCounts ResourceCounts::Now() {
    ResourceCounts counts;
    const HANDLE process = ::GetCurrentProcess();
    const GuiObjects gui = GuiObjects::Now();
    counts.gdiObjects = gui.gdi;
    counts.userObjects = gui.user;
    ::GetProcessHandleCount(process, &counts.kernelHandles);
    if (HANDLE probe = ::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        counts.kernelSlot = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(probe) >> 2);
        ::CloseHandle(probe);
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        counts.privateBytes = memory.PrivateUsage;
    if (counts.privateBytes == 0) {
        // Wine reports none: add up the committed private regions instead.
        MEMORY_BASIC_INFORMATION region;
        for (const char* address = nullptr;
             ::VirtualQuery(address, &region, sizeof region) == sizeof region && region.RegionSize > 0;
             address = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
            if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) counts.privateBytes += region.RegionSize;
    }
    return counts;
}

long long HeapBusyBytes() {
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    long long busy = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        ::HeapUnlock(heaps[i]);
    }
    return busy;
}

// ---- the data object ------------------------------------------------------

namespace {

// Released by ReleaseStgMedium in place of the medium itself; releases its
// own copy of the medium and tells its data object that it came back.
class MediumToken final : public IUnknown {
public:
    MediumToken(const STGMEDIUM& medium, std::atomic<long>& outstanding)
        : m_medium(medium), m_outstanding(outstanding) {
        ++m_outstanding;
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (riid != IID_IUnknown) return E_NOINTERFACE;
        AddRef();
        *object = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            // A stream, a storage and a file name are freed by the receiver's
            // ReleaseStgMedium itself, releaser or not; the rest is ours.
            const DWORD kind = m_medium.tymed;
            if (kind != TYMED_ISTREAM && kind != TYMED_ISTORAGE && kind != TYMED_FILE) ::ReleaseStgMedium(&m_medium);
            --m_outstanding;
            delete this;
        }
        return left;
    }

private:
    ~MediumToken() = default;
    STGMEDIUM m_medium;
    std::atomic<long>& m_outstanding;
    std::atomic<ULONG> m_references{1};
};

}  // namespace

std::string DropListBytes(const std::vector<std::wstring>& paths) {
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::wstring& path : paths)
        bytes.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
    bytes.append(sizeof(wchar_t), '\0');
    return bytes;
}

HGLOBAL GlobalBlock(const std::string& bytes, UINT flags) {
    HGLOBAL memory = ::GlobalAlloc(flags, bytes.size());
    if (memory == nullptr && !bytes.empty()) throw std::bad_alloc();
    if (void* data = bytes.empty() ? nullptr : ::GlobalLock(memory)) {
        std::memcpy(data, bytes.data(), bytes.size());
        ::GlobalUnlock(memory);
    }
    return memory;
}

class DropData final : public IDataObject {
public:
    explicit DropData(MediumMaker makeMedium) : m_makeMedium(std::move(makeMedium)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IDataObject) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDataObject*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format == nullptr || medium == nullptr) return E_INVALIDARG;
        if (format->cfFormat != CF_HDROP || (format->tymed & TYMED_HGLOBAL) == 0) return DV_E_FORMATETC;
        STGMEDIUM made = {};
        const HRESULT result = m_makeMedium(made);
        if (result != S_OK) return result;
        *medium = made;
        medium->pUnkForRelease = new MediumToken(made, m_outstanding);
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        return format != nullptr && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    long Outstanding() const { return m_outstanding; }

private:
    ~DropData() = default;
    MediumMaker m_makeMedium;
    std::atomic<ULONG> m_references{1};
    std::atomic<long> m_outstanding{0};
};

ComRef<IDataObject> NewDataObject(MediumMaker makeMedium, DropData** self) {
    auto* data = new DropData(std::move(makeMedium));
    if (self != nullptr) *self = data;
    return ComRef<IDataObject>(data);
}

ComRef<IDataObject> NewDropData(std::vector<std::wstring> paths, DropOffer offer, DropData** self) {
    return NewDataObject(
        [paths = std::move(paths), offer](STGMEDIUM& medium) {
            if (offer == DropOffer::None) return DV_E_FORMATETC;
            const HGLOBAL memory = GlobalBlock(DropListBytes(paths));
            if (offer == DropOffer::Stream) {
                // Whatever was asked for; the stream frees the memory.
                medium.tymed = TYMED_ISTREAM;
                if (::CreateStreamOnHGlobal(memory, TRUE, &medium.pstm) == S_OK) return S_OK;
                ::GlobalFree(memory);
                return E_OUTOFMEMORY;
            }
            medium.tymed = TYMED_HGLOBAL;
            medium.hGlobal = memory;
            return S_OK;
        },
        self);
}

long OutstandingMedia(DropData* data) { return data->Outstanding(); }

// ---- the handler ----------------------------------------------------------

ComRef<IShellExtInit> NewHandler(const LoadedServer& server) {
    ComRef<IClassFactory> factory(server.Factory());
    ComRef<IShellExtInit> handler;
    if (FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, handler.out())))
        throw std::runtime_error("cannot create the handler");
    return handler;
}

ComRef<IExplorerCommand> NewCommand(const LoadedServer& server) {
    ComRef<IClassFactory> factory(server.Factory(kCommandClass));
    ComRef<IExplorerCommand> command;
    if (FAILED(factory->CreateInstance(nullptr, IID_IExplorerCommand, command.out())))
        throw std::runtime_error("cannot create the command");
    return command;
}

ComRef<IShellItemArray> FolderItemArray(const std::wstring& folder) {
    ComRef<IShellItem> item;
    ComRef<IShellItemArray> items;
    if (FAILED(::SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, item.out())) ||
        FAILED(::SHCreateShellItemArrayFromShellItem(item.get(), IID_IShellItemArray, items.out())))
        throw std::runtime_error("no item array for the folder");
    return items;
}

ComRef<IContextMenu> MenuOf(IShellExtInit* handler) {
    ComRef<IContextMenu> menu;
    if (FAILED(handler->QueryInterface(IID_IContextMenu, menu.out()))) throw std::runtime_error("no IContextMenu");
    return menu;
}

void StoreSettings(const MenuSettings& settings) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quenbridge\\Tessaly", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open the settings key");
    const std::pair<const wchar_t*, DWORD> values[] = {
        {L"ShowRecentAccessed", settings.accessed}, {L"ShowRecentModified", settings.modified},
        {L"FileCount", settings.fileCount},         {L"HighlightDays", settings.highlightDays},
        {L"ShowTimeHint", settings.showTimeHint},   {L"WeekStart", settings.weekStart},
    };
    for (const auto& [name, value] : values)
        ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

// ---- folders --------------------------------------------------------------

namespace {
std::atomic<unsigned> g_folderNumber{0};

// \\?\ reaches paths of any length, which a 259-character folder needs.
std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }
}  // namespace

ScratchFolder::ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp, length) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++g_folderNumber);
    if (!::CreateDirectoryW(m_path.c_str(), nullptr)) throw std::runtime_error("cannot make a folder");
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

void ScratchFolder::MakeFile(const std::wstring& name) const {
    const HANDLE file = ::CreateFileW(Extended(PathOf(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a file");
    ::CloseHandle(file);
}

void ScratchFolder::MakeFiles(int count) const {
    // Times a minute apart, access and write in opposite orders, so the two
    // lists differ and every file sorts somewhere of its own.
    constexpr ULONGLONG kMinute = 600000000ull;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG base = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime) -
                           static_cast<ULONGLONG>(count) * kMinute;
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        ::wsprintfW(name, L"f%05d.txt", i);
        const HANDLE file = ::CreateFileW(PathOf(name).c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a file");
        const ULONGLONG written = base + static_cast<ULONGLONG>(i) * kMinute;
        const ULONGLONG accessed = base + static_cast<ULONGLONG>(count - i) * kMinute;
        const FILETIME writeTime{static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
        const FILETIME accessTime{static_cast<DWORD>(accessed), static_cast<DWORD>(accessed >> 32)};
        ::SetFileTime(file, nullptr, &accessTime, &writeTime);
        ::CloseHandle(file);
    }
}

void RemoveTree(const std::wstring& path) {
    const std::wstring extended = Extended(path);
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((extended + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileW(Extended(child).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(extended.c_str());
}

// ---- menus ----------------------------------------------------------------

std::vector<std::wstring> MenuTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[1024] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 1024;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        texts.emplace_back(text);
    }
    return texts;
}

HMENU SubmenuAt(HMENU menu, int position) { return ::GetSubMenu(menu, position); }

}  // namespace tessaly::testing
