#include "framework/com/ObjectRoot.h"

#include "framework/com/MissingGuid.h"

namespace tessaly::com {

HRESULT LookUpInterface(void* object, const InterfaceEntry* table, REFIID riid, void** result) noexcept {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (IsMissing(riid)) return E_POINTER;
    if (table == nullptr || table->iid == nullptr) return E_NOINTERFACE;
    // IUnknown is answered by the first interface of the table.
    if (InlineIsEqualGUID(riid, IID_IUnknown)) {
        *result = table->cast(object);
        return S_OK;
    }
    for (const InterfaceEntry* entry = table; entry->iid != nullptr; ++entry) {
        if (InlineIsEqualGUID(riid, *entry->iid)) {
            *result = entry->cast(object);
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

}  // namespace tessaly::com
