#include "server/RegObject.h"

#include <new>
#include <string>

#include "server/RegistrationMode.h"
#include "server/ScriptExpansion.h"
#include "server/ScriptRunner.h"

namespace tessaly {

CRegObject::~CRegObject() { ClearReplacements(); }

HResult CRegObject::QueryInterface(const InterfaceId& /*iid*/, void** object) {
    if (object != nullptr) *object = nullptr;
    return hr::kNotImplemented;
}

HResult CRegObject::AddReplacement(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return hr::kInvalidArg;
    try {
        m_replacements.Add(name, value);
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    }
    return hr::kOk;
}

HResult CRegObject::ClearReplacements() {
    m_replacements.Clear();
    return hr::kOk;
}

HResult CRegObject::RunScript(const wchar_t* text, bool doRegister) {
    if (text == nullptr) return hr::kInvalidArg;
    try {
        std::wstring expanded;
        const HResult expansion = ExpandScript(text, m_replacements, IsPerUserRegistration(), expanded);
        if (hr::Failed(expansion)) return expansion;
        return ScriptRunner(m_registry, expanded).Run(doRegister);
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    }
}

}  // namespace tessaly
