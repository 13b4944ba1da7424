#include "framework/com/Module.h"

namespace tessaly::com {

namespace {
std::atomic<CAtlModule*> g_module{nullptr};
}

CAtlModule::CAtlModule() noexcept { g_module.store(this); }

CAtlModule::~CAtlModule() {
    CAtlModule* self = this;
    g_module.compare_exchange_strong(self, nullptr);
}

long CAtlModule::Lock() noexcept { return ++m_lockCount; }
long CAtlModule::Unlock() noexcept { return --m_lockCount; }
long CAtlModule::GetLockCount() const noexcept { return m_lockCount.load(); }

CAtlModule* ModuleInstance() noexcept { return g_module.load(); }

// A process without a module (a test program that links the handler
// directly) counts nothing.
ModuleLock::ModuleLock() noexcept {
    if (CAtlModule* module = ModuleInstance()) module->Lock();
}
ModuleLock::~ModuleLock() {
    if (CAtlModule* module = ModuleInstance()) module->Unlock();
}

}  // namespace tessaly::com
