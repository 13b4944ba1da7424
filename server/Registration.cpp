#include "server/Registration.h"

#include <new>
#include <string>
#include <vector>

#include "platform/registry/SystemRegistry.h"
#include "platform/win/HandleOwners.h"
#include "resources/ResourceIds.h"
#include "server/RegObject.h"
#include "server/RegistrationMode.h"
#include "server/RegistrationRules.h"
#include "server/RegistrationTarget.h"
#include "server/ServerObjects.h"
#include "server/TessalyModule.h"
#include "shellext/HandlerClass.h"

namespace tessaly {

namespace {

// The thread's last error as a result. A call that failed without setting
// one must still not read as success.
HRESULT LastErrorResult() {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// The scripts are 8-bit text in the system's ANSI code page: the thread
// locale decides which code page CP_THREAD_ACP means while they are read.
class SystemThreadLocale {
public:
    SystemThreadLocale() noexcept : m_saved(::GetThreadLocale()) { ::SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    ~SystemThreadLocale() { ::SetThreadLocale(m_saved); }
    SystemThreadLocale(const SystemThreadLocale&) = delete;
    SystemThreadLocale& operator=(const SystemThreadLocale&) = delete;

private:
    LCID m_saved;
};

// The script resource as UTF-16 text, converted before the module path goes
// in, so that a path outside the ANSI code page arrives intact.
HRESULT LoadScriptText(const wchar_t* modulePath, unsigned resourceId, std::wstring& text) {
    // The DLL file opened as data only, for its resources.
    const platform::LoadedModule file(::LoadLibraryExW(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!file.valid()) return LastErrorResult();
    HRSRC resource = ::FindResourceW(file.get(), MAKEINTRESOURCEW(resourceId), L"REGISTRY");
    if (resource == nullptr) return LastErrorResult();
    HGLOBAL loaded = ::LoadResource(file.get(), resource);
    if (loaded == nullptr) return LastErrorResult();
    const DWORD size = ::SizeofResource(file.get(), resource);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    if (size == 0 || bytes == nullptr) return LastErrorResult();
    std::vector<wchar_t> wide(size + 1u);
    const int length =
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, static_cast<int>(size), wide.data(), static_cast<int>(size));
    if (length <= 0) return LastErrorResult();
    text.assign(wide.data(), static_cast<std::size_t>(length));
    return S_OK;
}

// The handler class as registration names it, "{B922807E-...}".
std::wstring HandlerClassText() {
    wchar_t classId[40] = {};  // 38 characters and the null
    ::StringFromGUID2(CLSID_TessalyShExt, classId, 40);
    return classId;
}

HRESULT RunScriptResource(unsigned resourceId, bool doRegister, std::initializer_list<Replacement> extras) {
    // Every deletion leaves what another registration still needs:
    // unregistering, and registering too, where ForceRemove deletes before it
    // writes and a failed block is undone.
    RegistrationTarget target(registry::SystemRegistry(), HandlerClassText(), IsPerUserRegistration(), !doRegister);
    CRegObject registrar(target.Registry());
    for (const Replacement& extra : extras) (void)registrar.AddReplacement(extra.name, extra.value);
    CTessalyModule* module = TessalyModule();
    if (module == nullptr) return E_UNEXPECTED;
    if (const HRESULT result = module->AddCommonReplacements(registrar); FAILED(result)) return result;

    const HINSTANCE instance = BaseModule().instance;
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0) return LastErrorResult();
    if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);

    const std::wstring escaped = EscapeModulePath(path);
    // Only an executable server's path stands in double quotes.
    const bool isExecutable = instance == nullptr || instance == ::GetModuleHandleW(nullptr);
    const std::wstring moduleValue = isExecutable ? L"\"" + escaped + L"\"" : escaped;
    if (FAILED(registrar.AddReplacement(L"Module", moduleValue.c_str()))) return E_OUTOFMEMORY;
    if (FAILED(registrar.AddReplacement(L"Module_Raw", escaped.c_str()))) return E_OUTOFMEMORY;

    std::wstring text;
    if (const HRESULT result = LoadScriptText(path, resourceId, text); FAILED(result)) return result;
    return registrar.RunScript(text.c_str(), doRegister);
}

HRESULT RunAppIdScript(bool doRegister) noexcept {
    return RunRegistryScript(IDR_APPID_SCRIPT, doRegister, {{L"APPID", CTessalyModule::kApplicationId}});
}

HRESULT RegisterSteps() noexcept {
    SystemThreadLocale locale;
    HRESULT result = RunAppIdScript(true);
    // A failure of the class script keeps the application identifier.
    if (SUCCEEDED(result)) result = TheClassMap().UpdateRegistry(true);
    return result;
}

HRESULT UnregisterSteps() noexcept {
    SystemThreadLocale locale;
    HRESULT result = TheClassMap().UpdateRegistry(false);
    if (SUCCEEDED(result)) result = RunAppIdScript(false);
    return result;
}

}  // namespace

HRESULT RunRegistryScript(unsigned resourceId, bool doRegister, std::initializer_list<Replacement> extras) noexcept {
    try {
        return RunScriptResource(resourceId, doRegister, extras);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT RegisterServer() noexcept { return RegisterSteps(); }

HRESULT UnregisterServer() noexcept { return UnregisterSteps(); }

HRESULT InstallServer(BOOL install, const wchar_t* commandLine) noexcept {
    if (IsPerUserCommandLine(commandLine)) SetPerUserRegistration(true);
    if (!install) return UnregisterSteps();
    const HRESULT result = RegisterSteps();
    // Take back what a failed registration left; its own failure is not ours.
    if (FAILED(result)) (void)UnregisterSteps();
    return result;
}

}  // namespace tessaly
