// The DLL's static objects. They live in this one file so that their order
// of construction is the order written here (and destruction the reverse):
// the class map first, since the module's constructor starts its classes,
// and the application object last.
#include "server/ServerObjects.h"

#include <iterator>

#include "framework/com/ClassFactory.h"
#include "resources/ResourceIds.h"
#include "server/Registration.h"
#include "server/TessalyApp.h"
#include "server/TessalyModule.h"
#include "shellext/CommandClass.h"
#include "shellext/HandlerClass.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly {

namespace {

HRESULT UpdateHandlerRegistry(bool doRegister) noexcept {
    return RunRegistryScript(IDR_HANDLER_SCRIPT, doRegister, {});
}

// The command class is declared by its package, not by the registry: there
// is nothing to write or remove.
HRESULT UpdateCommandRegistry(bool /*doRegister*/) noexcept { return S_OK; }

// Neither class needs anything when the module comes up or goes.
void StartStopClass(bool /*starting*/) noexcept {}

com::ClassMapEntry g_classEntries[] = {
    {&CLSID_TessalyShExt, UpdateHandlerRegistry, com::CComClassFactory::CreateCached, CreateTessalyShExt, nullptr,
     StartStopClass},
    {&CLSID_TessalyCommand, UpdateCommandRegistry, com::CComClassFactory::CreateCached, CreateTessalyCommand, nullptr,
     StartStopClass},
};

com::ClassMap g_classMap(std::begin(g_classEntries), std::end(g_classEntries));

const BaseModuleRecord g_baseModule{reinterpret_cast<HINSTANCE>(&__ImageBase),
                                    reinterpret_cast<HINSTANCE>(&__ImageBase)};

CTessalyModule g_module(g_classMap);

CTessalyApp g_app;

}  // namespace

com::ClassMap& TheClassMap() noexcept { return g_classMap; }
const BaseModuleRecord& BaseModule() noexcept { return g_baseModule; }

}  // namespace tessaly
