#pragma once
// The built DLL loaded as the shell loads it, used through its exports only.
#include <windows.h>
#include <objbase.h>

#include <string>

namespace tessaly::testing {

// {B922807E-EF82-4915-A30C-4C892F724740}
constexpr CLSID kHandlerClass = {0xB922807E, 0xEF82, 0x4915, {0xA3, 0x0C, 0x4C, 0x89, 0x2F, 0x72, 0x47, 0x40}};

// {31947C44-8420-40FE-B315-A367ABAE0D74}: the Explorer command of Windows 11's menu.
constexpr CLSID kCommandClass = {0x31947C44, 0x8420, 0x40FE, {0xB3, 0x15, 0xA3, 0x67, 0xAB, 0xAE, 0x0D, 0x74}};

// The DLL beside the build, as a Windows path.
std::wstring BuiltDllPath();

class LoadedServer {
public:
    explicit LoadedServer(const std::wstring& path = BuiltDllPath());
    ~LoadedServer();
    LoadedServer(const LoadedServer&) = delete;
    LoadedServer& operator=(const LoadedServer&) = delete;

    HMODULE module() const { return m_module; }
    // Frees the DLL now (a test of unloading); the exports are gone after it.
    void Unload();

    HRESULT GetClassObject(REFCLSID classId, REFIID riid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    HRESULT Install(BOOL install, const wchar_t* commandLine) const;

    // The class factory of the handler, or of another class (the caller releases it).
    IClassFactory* Factory(REFCLSID classId = kHandlerClass) const;

private:
    FARPROC Export(const char* name) const;
    HMODULE m_module = nullptr;
};

}  // namespace tessaly::testing
