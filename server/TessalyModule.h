#pragma once
// The server module of the DLL: the lock count of the COM layer plus the
// application identifier that every registry script knows as %APPID%.
#include "framework/com/ClassMap.h"
#include "framework/com/Module.h"
#include "server/RegistrarBase.h"

namespace tessaly {

class CTessalyModule final : public com::CAtlModule {
public:
    static constexpr const wchar_t* kApplicationId = L"{733D43C3-335E-4248-9DA6-6223F64E3028}";

    // Starts the classes it serves; they are stopped when it goes.
    explicit CTessalyModule(com::ClassMap& classes) noexcept;
    ~CTessalyModule() override;

    // Offers "APPID" to a registrar; the registrar's result.
    HResult AddCommonReplacements(IRegistrarBase& registrar) noexcept;

private:
    com::ClassMap& m_classes;
};

// The process's module (null outside the DLL's lifetime).
CTessalyModule* TessalyModule() noexcept;

}  // namespace tessaly
