#include "shellext/CommandClass.h"

#include "framework/com/Aggregation.h"
#include "shellext/TessalyCommand.h"

const CLSID CLSID_TessalyCommand = {0x31947C44, 0x8420, 0x40FE, {0xB3, 0x15, 0xA3, 0x67, 0xAB, 0xAE, 0x0D, 0x74}};

HRESULT CreateTessalyCommand(IUnknown* outer, REFIID riid, void** object) noexcept {
    return tessaly::com::CreateObjectInstance<tessaly::CTessalyCommand>(outer, riid, object);
}
