#pragma once
// The table of creatable classes of a server, fixed at build time, with the
// lazy creation of each class's cached factory. DllGetClassObject walks it;
// registration runs each entry's registry update.
#include <windows.h>
#include <objbase.h>

#include <atomic>

#include "framework/com/ClassFactory.h"

namespace tessaly::com {

struct ClassMapEntry {
    const CLSID* classId;
    // Registers (true) or unregisters (false) the class.
    HRESULT (*updateRegistry)(bool doRegister) noexcept;
    // Creates the class's factory serving instanceCreator, asked for riid.
    HRESULT (*factoryCreator)(InstanceCreator instanceCreator, REFIID riid, void** object) noexcept;
    InstanceCreator instanceCreator;
    // Null until the first request for the class; then the factory, holding
    // one reference until the map goes.
    std::atomic<IUnknown*> cachedFactory;
    // Called with true when the module comes up and false when it goes.
    void (*startStop)(bool starting) noexcept;
};

class ClassMap {
public:
    // Ready (Initialized()) only when its lock could be made.
    ClassMap(ClassMapEntry* first, ClassMapEntry* last) noexcept;
    // Releases the cached factories.
    ~ClassMap();
    ClassMap(const ClassMap&) = delete;
    ClassMap& operator=(const ClassMap&) = delete;

    bool Initialized() const noexcept { return m_initialized != 0; }

    // E_POINTER, E_UNEXPECTED (not ready), CLASS_E_CLASSNOTAVAILABLE (unknown
    // class), or the factory's QueryInterface result. A failed factory
    // creation is returned as it is and tried again at the next call.
    HRESULT GetClassObject(REFCLSID classId, REFIID riid, void** object) noexcept;
    // Each entry's registry update in order; the first failure ends it.
    HRESULT UpdateRegistry(bool doRegister) noexcept;
    void StartStop(bool starting) noexcept;

private:
    ClassMapEntry* m_first;
    ClassMapEntry* m_last;  // one past the last entry
    CRITICAL_SECTION m_lock;
    LONG m_initialized = 0;
};

}  // namespace tessaly::com
