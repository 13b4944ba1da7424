#pragma once
// The class factory that a class map entry creates once per process and keeps
// (the cached factory). The class map holds one reference for as long as the
// DLL is loaded; clients' references hold exactly one module lock between
// them, so DllCanUnloadNow says no while any client holds the factory.
#include <windows.h>
#include <objbase.h>

#include <atomic>

namespace tessaly::com {

// Creates an object of the served class: the plain form when outer is null,
// the aggregated form otherwise; then asks it for riid.
using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID riid, void** object) noexcept;

class CComClassFactory final : public IClassFactory {
public:
    // The class map's factory creator: a new factory serving creator, asked
    // for riid; on success its one reference belongs to *object.
    static HRESULT CreateCached(InstanceCreator creator, REFIID riid, void** object) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;
    // Aggregation only together with a request for IUnknown.
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override;
    // Not matched: an unlock without a lock takes the module's count below 0.
    STDMETHODIMP LockServer(BOOL lock) noexcept override;

private:
    explicit CComClassFactory(InstanceCreator creator) noexcept : m_creator(creator) {}
    ~CComClassFactory() = default;

    std::atomic<LONG> m_references{0};
    InstanceCreator m_creator;
};

}  // namespace tessaly::com
