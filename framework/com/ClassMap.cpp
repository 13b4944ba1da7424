#include "framework/com/ClassMap.h"

#include "framework/com/MissingGuid.h"

namespace tessaly::com {

namespace {
// Entered and left in one scope, whatever happens in between.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& section) noexcept : m_section(section) {
        ::EnterCriticalSection(&m_section);
    }
    ~CriticalSectionLock() { ::LeaveCriticalSection(&m_section); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};
}  // namespace

ClassMap::ClassMap(ClassMapEntry* first, ClassMapEntry* last) noexcept : m_first(first), m_last(last) {
    if (::InitializeCriticalSectionAndSpinCount(&m_lock, 0)) m_initialized = 1;
}

ClassMap::~ClassMap() {
    if (!Initialized()) return;
    for (ClassMapEntry* entry = m_first; entry != m_last; ++entry) {
        if (IUnknown* factory = entry->cachedFactory.exchange(nullptr)) factory->Release();
    }
    ::DeleteCriticalSection(&m_lock);
    m_initialized = 0;
}

HRESULT ClassMap::GetClassObject(REFCLSID classId, REFIID riid, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsMissing(classId) || IsMissing(riid)) return E_POINTER;
    if (!Initialized()) return E_UNEXPECTED;
    ClassMapEntry* entry = m_first;
    while (entry != m_last && !(entry->factoryCreator != nullptr && IsEqualCLSID(*entry->classId, classId))) ++entry;
    if (entry == m_last) return CLASS_E_CLASSNOTAVAILABLE;

    HRESULT result = S_OK;
    // Tested before and after taking the lock, so that one factory is made
    // per process however many threads ask at once.
    if (entry->cachedFactory == nullptr) {
        CriticalSectionLock lock(m_lock);
        if (entry->cachedFactory == nullptr) {
            void* factory = nullptr;
            result = entry->factoryCreator(entry->instanceCreator, IID_IUnknown, &factory);
            entry->cachedFactory.store(static_cast<IUnknown*>(factory));
        }
    }
    if (IUnknown* factory = entry->cachedFactory.load()) result = factory->QueryInterface(riid, object);
    if (*object == nullptr && result == S_OK) return CLASS_E_CLASSNOTAVAILABLE;
    return result;
}

HRESULT ClassMap::UpdateRegistry(bool doRegister) noexcept {
    for (ClassMapEntry* entry = m_first; entry != m_last; ++entry) {
        const HRESULT result = entry->updateRegistry(doRegister);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

void ClassMap::StartStop(bool starting) noexcept {
    for (ClassMapEntry* entry = m_first; entry != m_last; ++entry) {
        if (entry->startStop != nullptr) entry->startStop(starting);
    }
}

}  // namespace tessaly::com
