#pragma once
// The DLL's static objects, constructed when the DLL is loaded in this order:
// the class map, the base module record, the module, the application object;
// destroyed in the reverse order when it is unloaded.
#include <windows.h>

#include "framework/com/ClassMap.h"

namespace tessaly {

com::ClassMap& TheClassMap() noexcept;

// The DLL itself: where registration takes the module path from and where
// resources are loaded from.
struct BaseModuleRecord {
    HINSTANCE instance;
    HINSTANCE resourceInstance;
};
const BaseModuleRecord& BaseModule() noexcept;

}  // namespace tessaly
