// A context-menu handler that is not ours, for testing that the shell host
// works with any handler: it shows what it was initialised with, puts a
// picture on one item, answers help-text and verb requests, opens a message
// box when its last item is chosen and says on the debugger output why it
// refuses a command it does not have. With SAMPLE_LEAVES_A_WINDOW set in the
// environment its first item leaves a window open, busy for a moment before
// it returns; one more class id answers without a class factory, and
// another with a factory that creates nothing and says it succeeded.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <atomic>
#include <string>

namespace {

std::atomic<long> g_objects{0};

// {0E0BACBB-27B0-4490-AD26-C41FFCFF824C}
constexpr CLSID kSampleClass = {0x0E0BACBB, 0x27B0, 0x4490, {0xAD, 0x26, 0xC4, 0x1F, 0xFC, 0xFF, 0x82, 0x4C}};
// {0E0BACBB-27B0-4490-AD26-C41FFCFF8201}: the same handler, registered for one user only.
constexpr CLSID kUserSampleClass = {0x0E0BACBB, 0x27B0, 0x4490, {0xAD, 0x26, 0xC4, 0x1F, 0xFC, 0xFF, 0x82, 0x01}};
// {0E0BACBB-27B0-4490-AD26-C41FFCFF8202}: DllGetClassObject succeeds and gives no factory.
constexpr CLSID kNoFactoryClass = {0x0E0BACBB, 0x27B0, 0x4490, {0xAD, 0x26, 0xC4, 0x1F, 0xFC, 0xFF, 0x82, 0x02}};
// {0E0BACBB-27B0-4490-AD26-C41FFCFF8203}: CreateInstance answers S_OK with a null object.
constexpr CLSID kNullObjectClass = {0x0E0BACBB, 0x27B0, 0x4490, {0xAD, 0x26, 0xC4, 0x1F, 0xFC, 0xFF, 0x82, 0x03}};

std::wstring PathOfList(PCIDLIST_ABSOLUTE list) {
    wchar_t path[MAX_PATH] = {};
    return list != nullptr && ::SHGetPathFromIDListW(list, path) ? path : L"?";
}

// The dropped paths, joined by " + ".
std::wstring DroppedPaths(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return L"?";
    std::wstring paths;
    if (auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH] = {};
            ::DragQueryFileW(drop, i, name, MAX_PATH);
            paths += (i == 0 ? L"" : L" + ") + std::wstring(name);
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return paths.empty() ? L"?" : paths;
}

class SampleHandler final : public IShellExtInit, public IContextMenu {
public:
    SampleHandler() { ++g_objects; }
    ~SampleHandler() {
        if (m_picture != nullptr) ::DeleteObject(m_picture);
        --g_objects;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellExtInit) *object = static_cast<IShellExtInit*>(this);
        else if (iid == IID_IContextMenu) *object = static_cast<IContextMenu*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY) override {
        m_text = data != nullptr ? L"Item\t" + DroppedPaths(data) + L" in " + PathOfList(folder)
                                 : L"Background\t" + PathOfList(folder);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override {
        if (flags & CMF_DEFAULTONLY) return S_OK;
        if (last - first + 1 < 2) return E_FAIL;
        HMENU popup = ::CreatePopupMenu();
        ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, first, m_text.c_str());
        ::InsertMenuW(popup, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        ::InsertMenuW(popup, 2, MF_BYPOSITION | MF_STRING, first + 1, L"Say &hello");
        m_picture = ::CreateBitmap(13, 13, 1, 1, nullptr);
        ::SetMenuItemBitmaps(popup, 2, MF_BYPOSITION, m_picture, m_picture);
        ::InsertMenuW(menu, index, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"Sample");
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
    }

    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        if (HIWORD(info->lpVerb) != 0 || LOWORD(info->lpVerb) > 1) {
            ::OutputDebugStringW(L"Sample: no such command\r\n");
            return E_INVALIDARG;
        }
        if (LOWORD(info->lpVerb) == 1) ::MessageBoxW(info->hwnd, L"Hello", L"Sample", MB_OK);
        if (LOWORD(info->lpVerb) == 0 && ::GetEnvironmentVariableW(L"SAMPLE_LEAVES_A_WINDOW", nullptr, 0) > 0) {
            // Busy without answering messages while the window is up, as a
            // handler doing work after it opened one would be.
            ::CreateWindowExW(0, L"STATIC", L"Left open", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                              nullptr, nullptr, nullptr);
            ::Sleep(1500);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT kind, UINT*, LPSTR name, UINT room) override {
        if (offset > 1) return E_INVALIDARG;
        const std::wstring text = kind == GCS_VERBW       ? L"sample" + std::to_wstring(offset)
                                  : kind == GCS_HELPTEXTW ? L"Sample help " + std::to_wstring(offset)
                                                          : std::wstring();
        if (text.empty()) return E_NOTIMPL;
        ::lstrcpynW(reinterpret_cast<wchar_t*>(name), text.c_str(), static_cast<int>(room));
        return S_OK;
    }

private:
    std::atomic<ULONG> m_references{1};
    std::wstring m_text;
    HBITMAP m_picture = nullptr;
};

class SampleFactory final : public IClassFactory {
public:
    explicit SampleFactory(bool createsNothing) : m_createsNothing(createsNothing) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (m_createsNothing) {
            *object = nullptr;
            return S_OK;
        }
        auto* handler = new (std::nothrow) SampleHandler();
        if (handler == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = handler->QueryInterface(iid, object);
        handler->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    bool m_createsNothing;
};

SampleFactory g_factory(false);
SampleFactory g_nullFactory(true);

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
    if (classId == kNoFactoryClass) {
        *object = nullptr;
        return S_OK;
    }
    if (classId == kNullObjectClass) return g_nullFactory.QueryInterface(iid, object);
    if (classId != kSampleClass && classId != kUserSampleClass) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }
