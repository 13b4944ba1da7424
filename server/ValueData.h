#pragma once
// The bytes a script value stores, by its type letter:
//   S  REG_SZ        the text and its null
//   M  REG_MULTI_SZ  the text split at each \0 (backslash, zero), each string
//                    with its null, the list ending at the first empty string
//   D  REG_DWORD     the text read as an unsigned 32-bit number, 4 bytes
//   B  REG_BINARY    the text read as pairs of hexadecimal digits
// Strings are stored as UTF-16 (little-endian), as the registry holds them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Win32Values.h"

namespace tessaly {

struct ValueData {
    std::uint32_t type = 0;
    std::vector<unsigned char> bytes;
};

// False for a token that is not one of the letters S, M, D, B (either case).
bool IsValueTypeLetter(std::wstring_view token);

// S_OK and the value's bytes; E_FAIL for a "B" text of odd length; the
// conversion's failure for a "D" text that is no number. Throws
// std::bad_alloc when memory runs out.
HResult EncodeValue(wchar_t typeLetter, std::wstring_view text, ValueData& data);

}  // namespace tessaly
