#pragma once
// Values of the Windows ABI that the portable core speaks in: result codes,
// error codes, attribute bits, registry types and access masks. They are
// spelled here so that code above the platform layer never needs <windows.h>,
// and the Windows implementation can pass them straight through.
#include <cstdint>

namespace tessaly {

using HResult = std::int32_t;
using Win32Error = std::uint32_t;

namespace hr {
constexpr HResult kOk = 0;
constexpr HResult kFalse = 1;
constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
constexpr HResult kFail = static_cast<HResult>(0x80004005u);
constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFFu);
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult kDispException = static_cast<HResult>(0x80020009u);

constexpr HResult FromWin32(Win32Error code) {
    return static_cast<std::int32_t>(code) <= 0
               ? static_cast<HResult>(code)
               : static_cast<HResult>((code & 0x0000FFFFu) | 0x80070000u);
}
constexpr bool Succeeded(HResult result) { return result >= 0; }
constexpr bool Failed(HResult result) { return result < 0; }
}  // namespace hr

namespace win32 {
constexpr Win32Error kSuccess = 0;
constexpr Win32Error kFileNotFound = 2;
constexpr Win32Error kPathNotFound = 3;
constexpr Win32Error kAccessDenied = 5;
constexpr Win32Error kInvalidHandle = 6;
constexpr Win32Error kNotEnoughMemory = 8;
constexpr Win32Error kInvalidData = 13;
constexpr Win32Error kSharingViolation = 32;
constexpr Win32Error kInvalidParameter = 87;
constexpr Win32Error kInsufficientBuffer = 122;
constexpr Win32Error kInvalidName = 123;
constexpr Win32Error kDirNotEmpty = 145;
constexpr Win32Error kFilenameTooLong = 206;
constexpr Win32Error kMoreData = 234;
constexpr Win32Error kNoMoreItems = 259;
constexpr Win32Error kResourceNameNotFound = 1814;

constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
}  // namespace win32

}  // namespace tessaly
