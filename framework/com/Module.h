#pragma once
// The server module's lock count: the number of reasons for the DLL to stay
// loaded (living handler objects, clients holding the class factory,
// LockServer calls). One module object per process; everything else reaches
// it through ModuleInstance(), never by name, so the framework does not
// depend on the product.
#include <atomic>

namespace tessaly::com {

class CAtlModule {
public:
    // Becomes the process's module (ModuleInstance()).
    CAtlModule() noexcept;
    virtual ~CAtlModule();
    CAtlModule(const CAtlModule&) = delete;
    CAtlModule& operator=(const CAtlModule&) = delete;

    // Atomic; each returns the new count. Unmatched calls are not refused:
    // an Unlock without a Lock takes the count below 0.
    virtual long Lock() noexcept;
    virtual long Unlock() noexcept;
    virtual long GetLockCount() const noexcept;

private:
    std::atomic<long> m_lockCount{0};
};

// The process's module; null before it is constructed and after it is gone.
CAtlModule* ModuleInstance() noexcept;

// Holds one module lock for its life (a handler object owns one).
class ModuleLock {
public:
    ModuleLock() noexcept;
    ~ModuleLock();
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

}  // namespace tessaly::com
