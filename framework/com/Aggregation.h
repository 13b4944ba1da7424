#pragma once
// The aggregated form of a COM object: the object lives inside an outer
// object, whose controlling unknown answers for it. The interfaces of T
// forward QueryInterface, AddRef and Release to the outer unknown; the inner
// unknown (CComAggObject itself) answers IUnknown with itself, looks the
// other interfaces up in T's table, and counts its own references. The outer
// object holds the inner unknown and releases it last.
#include "framework/com/MissingGuid.h"
#include "framework/com/ObjectRoot.h"

namespace tessaly::com {

template <typename T>
class CComContainedObject final : public T {
public:
    explicit CComContainedObject(IUnknown* outer) noexcept { this->m_outerUnknown = outer; }
    ~CComContainedObject() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** result) noexcept override {
        return this->m_outerUnknown->QueryInterface(riid, result);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return this->m_outerUnknown->AddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return this->m_outerUnknown->Release(); }
};

template <typename T>
class CComAggObject final : public IUnknown {
public:
    explicit CComAggObject(IUnknown* outer) noexcept : m_contained(outer) {}
    CComAggObject(const CComAggObject&) = delete;
    CComAggObject& operator=(const CComAggObject&) = delete;
    virtual ~CComAggObject() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** result) noexcept override {
        if (result == nullptr) return E_POINTER;
        if (IsMissing(riid)) {
            *result = nullptr;
            return E_POINTER;
        }
        if (InlineIsEqualGUID(riid, IID_IUnknown)) {
            *result = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        const HRESULT found = LookUpInterface(static_cast<T*>(&m_contained), T::InterfaceTable(), riid, result);
        // The interface's AddRef goes to the outer unknown, as the caller expects.
        if (SUCCEEDED(found)) static_cast<IUnknown*>(*result)->AddRef();
        return found;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return static_cast<ULONG>(++m_refCount); }
    STDMETHODIMP_(ULONG) Release() noexcept override {
        const ULONG count = static_cast<ULONG>(--m_refCount);
        if (count == 0) delete this;
        return count;
    }

    static CComAggObject* Create(IUnknown* outer) noexcept {
        try {
            return new (std::nothrow) CComAggObject(outer);
        } catch (...) {
            return nullptr;
        }
    }

    T& Contained() noexcept { return m_contained; }

private:
    long m_refCount = 0;
    CComContainedObject<T> m_contained;
};

// The creator a class map calls: the plain form without an outer unknown,
// the aggregated form with one; then asks the new object for riid. When that
// fails the object is destroyed at once and the failure returned. The
// aggregation rule (an outer unknown only with IID_IUnknown) is the class
// factory's to check.
template <typename T>
HRESULT CreateObjectInstance(IUnknown* outer, REFIID riid, void** result) noexcept {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    IUnknown* unknown = nullptr;
    if (outer == nullptr) {
        CComObject<T>* object = CComObject<T>::Create();
        if (object == nullptr) return E_OUTOFMEMORY;
        unknown = static_cast<IUnknown*>(static_cast<typename T::PrimaryInterface*>(object));
    } else {
        CComAggObject<T>* object = CComAggObject<T>::Create(outer);
        if (object == nullptr) return E_OUTOFMEMORY;
        unknown = object;
    }
    // Hold the object across the query so that a failed query destroys it.
    unknown->AddRef();
    const HRESULT found = unknown->QueryInterface(riid, result);
    unknown->Release();
    return found;
}

}  // namespace tessaly::com
