#pragma once
// The registrar's interface in COM's shape (the three IUnknown slots first),
// spelled without <windows.h> so that the host builds it too.
#include <cstdint>

#include "platform/Win32Values.h"

namespace tessaly {

// An interface identifier in the layout of a GUID.
struct InterfaceId {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

class IRegistrarBase {
public:
    virtual HResult QueryInterface(const InterfaceId& iid, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;
    virtual HResult AddReplacement(const wchar_t* name, const wchar_t* value) = 0;
    virtual HResult ClearReplacements() = 0;
    virtual ~IRegistrarBase() = default;
};

}  // namespace tessaly
