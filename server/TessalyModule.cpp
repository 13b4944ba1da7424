#include "server/TessalyModule.h"

namespace tessaly {

CTessalyModule::CTessalyModule(com::ClassMap& classes) noexcept : m_classes(classes) { m_classes.StartStop(true); }

CTessalyModule::~CTessalyModule() { m_classes.StartStop(false); }

HResult CTessalyModule::AddCommonReplacements(IRegistrarBase& registrar) noexcept {
    return registrar.AddReplacement(L"APPID", kApplicationId);
}

CTessalyModule* TessalyModule() noexcept { return static_cast<CTessalyModule*>(com::ModuleInstance()); }

}  // namespace tessaly
