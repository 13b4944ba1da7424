#pragma once
// Unsigned 32-bit numbers read from text, as the system's variant conversion
// reads them (the "D" values of registry scripts).
#include <cstdint>

#include "platform/Win32Values.h"

namespace tessaly::platform {

// S_OK and the number, or the conversion's failure: DISP_E_TYPEMISMATCH for
// text that is no number, DISP_E_OVERFLOW for a number outside 0..4294967295.
// Windows converts with the system's rules for the neutral locale; the host
// accepts the common part of those rules: blanks around the number, an
// optional "+", and decimal digits.
HResult UnsignedFromText(const wchar_t* text, std::uint32_t& value);

}  // namespace tessaly::platform
