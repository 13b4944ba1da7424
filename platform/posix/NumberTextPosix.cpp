// Numbers from text on the host: blanks, an optional plus sign and decimal
// digits, the part of the Windows conversion that registry scripts use.
#include "platform/NumberText.h"

namespace tessaly::platform {

namespace {
constexpr HResult kTypeMismatch = static_cast<HResult>(0x80020005u);  // DISP_E_TYPEMISMATCH
constexpr HResult kOverflow = static_cast<HResult>(0x8002000Au);      // DISP_E_OVERFLOW

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
}  // namespace

HResult UnsignedFromText(const wchar_t* text, std::uint32_t& value) {
    if (text == nullptr) return kTypeMismatch;
    const wchar_t* p = text;
    while (IsBlank(*p)) ++p;
    if (*p == L'+') ++p;
    if (*p < L'0' || *p > L'9') return kTypeMismatch;
    std::uint64_t number = 0;
    bool overflow = false;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        number = number * 10 + static_cast<std::uint64_t>(*p - L'0');
        if (number > 0xFFFFFFFFu) {
            overflow = true;
            number = 0xFFFFFFFFu;  // keeps the sum bounded while the digits run on
        }
    }
    while (IsBlank(*p)) ++p;
    if (*p != L'\0') return kTypeMismatch;
    if (overflow) return kOverflow;
    value = static_cast<std::uint32_t>(number);
    return hr::kOk;
}

}  // namespace tessaly::platform
