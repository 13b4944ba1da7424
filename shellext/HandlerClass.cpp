#include "shellext/HandlerClass.h"

#include "framework/com/Aggregation.h"
#include "shellext/TessalyShExt.h"

const CLSID CLSID_TessalyShExt = {0xB922807E, 0xEF82, 0x4915, {0xA3, 0x0C, 0x4C, 0x89, 0x2F, 0x72, 0x47, 0x40}};

HRESULT CreateTessalyShExt(IUnknown* outer, REFIID riid, void** object) noexcept {
    return tessaly::com::CreateObjectInstance<tessaly::CTessalyShExt>(outer, riid, object);
}
