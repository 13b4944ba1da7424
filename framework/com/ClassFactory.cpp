#include "framework/com/ClassFactory.h"

#include <new>

#include "framework/com/MissingGuid.h"
#include "framework/com/Module.h"

namespace tessaly::com {

namespace {
void LockModule() {
    if (CAtlModule* module = ModuleInstance()) module->Lock();
}
void UnlockModule() {
    if (CAtlModule* module = ModuleInstance()) module->Unlock();
}
}  // namespace

HRESULT CComClassFactory::CreateCached(InstanceCreator creator, REFIID riid, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    auto* factory = new (std::nothrow) CComClassFactory(creator);
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(riid, object);
    if (result != S_OK) {
        delete factory;
        *object = nullptr;
    }
    return result;
}

STDMETHODIMP CComClassFactory::QueryInterface(REFIID riid, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    if (IsMissing(riid)) {
        *object = nullptr;
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The first reference is the class map's; the second is the first client's,
// and it (and only it) takes the module lock. The cache alone keeps nothing
// loaded, so the DLL can unload while the factory is cached.
STDMETHODIMP_(ULONG) CComClassFactory::AddRef() noexcept {
    const LONG count = ++m_references;
    if (count == 2) LockModule();
    return static_cast<ULONG>(count);
}

STDMETHODIMP_(ULONG) CComClassFactory::Release() noexcept {
    const LONG count = --m_references;
    if (count == 0) {
        delete this;
    } else if (count == 1) {
        UnlockModule();
    }
    return static_cast<ULONG>(count);
}

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsMissing(riid)) return E_POINTER;
    if (outer != nullptr && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return m_creator(outer, riid, object);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) noexcept {
    if (lock) {
        LockModule();
    } else {
        UnlockModule();
    }
    return S_OK;
}

}  // namespace tessaly::com
