#pragma once
// A REFIID or REFCLSID is a pointer underneath, and a careless caller can
// pass null. The compiler takes a reference for never null and would drop a
// plain test, so the address is read back through a volatile first.
#include <guiddef.h>

namespace tessaly::com {

inline bool IsMissing(const GUID& guid) noexcept {
    const GUID* volatile address = &guid;
    return address == nullptr;
}

}  // namespace tessaly::com
