#include "tools/shellhost/HandlerActivation.h"

#include <objbase.h>

#include <utility>

#include "tools/shellhost/HandlerSession.h"
#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {
namespace {

// The InprocServer32 module of a class registered for the current user;
// empty when the user has none.
std::wstring PerUserServer(const std::wstring& classText) {
    const std::wstring path = L"Software\\Classes\\CLSID\\" + classText + L"\\InprocServer32";
    wchar_t data[MAX_PATH] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    // RRF_RT_REG_SZ takes REG_EXPAND_SZ too, expanded.
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data,
                       &size) != ERROR_SUCCESS)
        return std::wstring();
    return data;
}

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

HandlerActivation::~HandlerActivation() {
    for (platform::LoadedModule& module : m_modules) {
        // One whose objects may still be in use stays loaded.
        const auto canUnload = Export<CanUnloadNow>(module.get(), "DllCanUnloadNow");
        if (canUnload != nullptr && canUnload() != S_OK) (void)module.release();
    }
}

HRESULT HandlerActivation::Create(const CLSID& classId, const std::wstring& classText, REFIID iid, void** object,
                                  std::wstring& note) {
    const HRESULT result = ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (result != REGDB_E_CLASSNOTREG) return result;
    const std::wstring server = PerUserServer(classText);
    if (server.empty()) return result;

    note = L"registered for this user only, which COM here does not see: created through DllGetClassObject of " +
           server;
    return CreateFromModule(server, classId, iid, object, note);
}

HRESULT HandlerActivation::CreateFromModule(const std::wstring& server, const CLSID& classId, REFIID iid,
                                            void** object, std::wstring& note) {
    platform::LoadedModule loaded(::LoadLibraryExW(server.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!loaded.valid()) {
        const HRESULT loadFailure = HRESULT_FROM_WIN32(::GetLastError());
        note += L", which does not load: " + ResultInWords(loadFailure);
        return loadFailure;
    }
    const HMODULE module = loaded.get();
    m_modules.push_back(std::move(loaded));
    const auto getClassObject = Export<GetClassObject>(module, "DllGetClassObject");
    if (getClassObject == nullptr) {
        note += L", which it does not export";
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    ComPtr<IClassFactory> factory;
    const HRESULT got = getClassObject(classId, IID_IClassFactory, factory.put_void());
    if (FAILED(got)) return got;
    if (factory.get() == nullptr) {
        note += L", whose DllGetClassObject succeeded without a class factory";
        return E_UNEXPECTED;
    }
    return factory->CreateInstance(nullptr, iid, object);
}

}  // namespace tessaly::shellhost
