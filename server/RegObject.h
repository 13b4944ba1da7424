#pragma once
// The registrar: runs a registry script (the .rgs format) against a registry,
// registering or unregistering, with %Name% replacements. Made for one
// script run and then discarded; it is not reference counted.
#include "platform/registry/Registry.h"
#include "server/RegistrarBase.h"
#include "server/ReplacementTable.h"

namespace tessaly {

class CRegObject final : public IRegistrarBase {
public:
    explicit CRegObject(registry::Registry& registry) : m_registry(registry) {}
    ~CRegObject() override;
    CRegObject(const CRegObject&) = delete;
    CRegObject& operator=(const CRegObject&) = delete;

    // Hands out nothing: callers hold the registrar directly.
    HResult QueryInterface(const InterfaceId& iid, void** object) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 0; }

    // E_INVALIDARG for a null argument, E_OUTOFMEMORY when the copy fails.
    HResult AddReplacement(const wchar_t* name, const wchar_t* value) override;
    HResult ClearReplacements() override;

    // Runs a null-terminated script text: registers when doRegister is true,
    // unregisters otherwise. S_OK, or the first failure: DISP_E_EXCEPTION for
    // a script error, E_FAIL for a bad replacement name or binary value,
    // HRESULT_FROM_WIN32 of a registry error, E_OUTOFMEMORY. In per-user mode
    // HKCR blocks go to HKEY_CURRENT_USER\Software\Classes.
    HResult RunScript(const wchar_t* text, bool doRegister);

private:
    registry::Registry& m_registry;
    ReplacementTable m_replacements;
};

}  // namespace tessaly
