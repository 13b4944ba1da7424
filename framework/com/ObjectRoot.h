#pragma once
// The IUnknown half of every COM object of ours, written once.
//
// A class T derives from CComObjectRootST and its interfaces, lists its
// interfaces in a table (InterfaceEntry, the first entry answers IUnknown),
// and leaves QueryInterface, AddRef and Release to the form it is created in:
//  - CComObject<T>: the plain form; the object counts its own references.
//  - CComAggObject<T>: the aggregated form (Aggregation.h); T's interfaces
//    forward to the outer unknown, an inner unknown counts its own references.
// Objects of the Apartment model are called on one thread only, so the count
// is a plain integer. Every living object holds one module lock.
#include <objbase.h>

#include <new>

#include "framework/com/ComPtr.h"
#include "framework/com/Module.h"

namespace tessaly::com {

// One row of a QueryInterface table: an interface and how to reach it from
// the object (a T* passed as void*). A table ends with a row whose iid is null.
struct InterfaceEntry {
    const IID* iid;
    void* (*cast)(void* object) noexcept;
};

// The cast of a table row: interface I of an object of class T.
template <typename T, typename I>
void* InterfaceOf(void* object) noexcept {
    return static_cast<I*>(static_cast<T*>(object));
}

// Looks riid up in the table of object (a T*): IUnknown gets the first entry.
// The pointer is returned without a reference added; the caller adds it.
HRESULT LookUpInterface(void* object, const InterfaceEntry* table, REFIID riid, void** result) noexcept;

class CComObjectRootST {
public:
    CComObjectRootST() = default;
    CComObjectRootST(const CComObjectRootST&) = delete;
    CComObjectRootST& operator=(const CComObjectRootST&) = delete;

protected:
    ~CComObjectRootST() = default;

    ULONG InternalAddRef() noexcept { return static_cast<ULONG>(++m_refCount); }
    ULONG InternalRelease() noexcept { return static_cast<ULONG>(--m_refCount); }

    // Null in the plain form; the controlling unknown in the aggregated one.
    IUnknown* m_outerUnknown = nullptr;

    template <typename T>
    friend class CComObject;
    template <typename T>
    friend class CComContainedObject;
    template <typename T>
    friend class CComAggObject;

private:
    long m_refCount = 0;
    ModuleLock m_moduleLock;
};

// The plain form: T with its own reference count, destroyed by its last Release.
template <typename T>
class CComObject final : public T {
public:
    CComObject() = default;
    ~CComObject() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** result) noexcept override {
        const HRESULT found = LookUpInterface(static_cast<T*>(this), T::InterfaceTable(), riid, result);
        if (SUCCEEDED(found)) static_cast<IUnknown*>(*result)->AddRef();
        return found;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return this->InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override {
        const ULONG count = this->InternalRelease();
        if (count == 0) delete this;
        return count;
    }

    // A new object with a reference count of 0; null when memory is short.
    static CComObject* Create() noexcept {
        try {
            return new (std::nothrow) CComObject();
        } catch (...) {
            return nullptr;
        }
    }
};

// A new object of the plain form, held by one reference, for an object to
// make and hand out (a subcommand, an enumerator); throws std::bad_alloc
// when memory is short.
template <typename T>
ComPtr<CComObject<T>> MakeObject() {
    CComObject<T>* object = CComObject<T>::Create();
    if (object == nullptr) throw std::bad_alloc();
    return ComPtr<CComObject<T>>::Share(object);
}

}  // namespace tessaly::com
