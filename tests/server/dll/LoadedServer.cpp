#include "LoadedServer.h"

#include <stdexcept>

namespace tessaly::testing {

std::wstring BuiltDllPath() {
    std::wstring path = TESSALY_DLL_PATH;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return L"Z:" + path;
}

LoadedServer::LoadedServer(const std::wstring& path) : m_module(::LoadLibraryW(path.c_str())) {
    if (m_module == nullptr) throw std::runtime_error("cannot load the DLL");
}

LoadedServer::~LoadedServer() { Unload(); }

void LoadedServer::Unload() {
    if (m_module != nullptr) ::FreeLibrary(m_module);
    m_module = nullptr;
}

FARPROC LoadedServer::Export(const char* name) const {
    FARPROC function = ::GetProcAddress(m_module, name);
    if (function == nullptr) throw std::runtime_error(std::string("missing export ") + name);
    return function;
}

template <typename Function>
static Function As(FARPROC function) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

HRESULT LoadedServer::GetClassObject(REFCLSID classId, REFIID riid, void** object) const {
    return As<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(Export("DllGetClassObject"))(classId, riid, object);
}
HRESULT LoadedServer::CanUnloadNow() const {
    return As<HRESULT(STDAPICALLTYPE*)()>(Export("DllCanUnloadNow"))();
}
HRESULT LoadedServer::RegisterServer() const {
    return As<HRESULT(STDAPICALLTYPE*)()>(Export("DllRegisterServer"))();
}
HRESULT LoadedServer::UnregisterServer() const {
    return As<HRESULT(STDAPICALLTYPE*)()>(Export("DllUnregisterServer"))();
}
HRESULT LoadedServer::Install(BOOL install, const wchar_t* commandLine) const {
    return As<HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR)>(Export("DllInstall"))(install, commandLine);
}

IClassFactory* LoadedServer::Factory(REFCLSID classId) const {
    void* factory = nullptr;
    if (FAILED(GetClassObject(classId, IID_IClassFactory, &factory)) || factory == nullptr)
        throw std::runtime_error("no class factory");
    return static_cast<IClassFactory*>(factory);
}

}  // namespace tessaly::testing
