#pragma once
// The built DLL loaded as the shell loads it, used through its exports only.
#include <windows.h>
#include <objbase.h>

#include <string>

namespace tessaly::testing {

// {B922807E-EF82-4915-A30C-4C892F724740}
constexpr CLSID kHandlerClass = {0xB922807E, 0xEF82, 0x4915, {0xA3, 0x0C, 0x4C, 0x89, 0x2F, 0x72, 0x47, 0x40}};

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

    // The handler's class factory (the caller releases it).
    IClassFactory* Factory() const;

private:
    FARPROC Export(const char* name) const;
    HMODULE m_module = nullptr;
};

}  // namespace tessaly::testing
