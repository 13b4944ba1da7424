#include "server/ValueData.h"

#include "platform/NumberText.h"
#include "platform/registry/Registry.h"

namespace tessaly {

namespace {

wchar_t UpperLetter(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

void AppendUnit(std::vector<unsigned char>& bytes, std::uint32_t unit) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>((unit >> 8) & 0xFF));
}

// Appends the text as UTF-16 little-endian units. Wide text already is UTF-16
// on Windows; on the host a character beyond the basic plane becomes a
// surrogate pair, and a value that is no character becomes U+FFFD.
void AppendUtf16(std::vector<unsigned char>& bytes, std::wstring_view text) {
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if constexpr (sizeof(wchar_t) == 2) {
            AppendUnit(bytes, code);
        } else if (code <= 0xFFFF) {
            AppendUnit(bytes, code);
        } else if (code <= 0x10FFFF) {
            const std::uint32_t offset = code - 0x10000;
            AppendUnit(bytes, 0xD800 + (offset >> 10));
            AppendUnit(bytes, 0xDC00 + (offset & 0x3FF));
        } else {
            AppendUnit(bytes, 0xFFFD);
        }
    }
}

void EncodeString(std::wstring_view text, ValueData& data) {
    data.type = registry::type::kString;
    AppendUtf16(data.bytes, text);
    AppendUnit(data.bytes, 0);
}

void EncodeMultiString(std::wstring_view text, ValueData& data) {
    data.type = registry::type::kMultiString;
    // The list ends at its first empty string: "a\0\0b" holds only "a".
    std::size_t start = 0;
    for (;;) {
        std::size_t separator = text.find(L"\\0", start);
        if (separator == std::wstring_view::npos) separator = text.size();
        const std::wstring_view part = text.substr(start, separator - start);
        if (part.empty()) break;
        AppendUtf16(data.bytes, part);
        AppendUnit(data.bytes, 0);
        if (separator == text.size()) break;
        start = separator + 2;
    }
    AppendUnit(data.bytes, 0);
}

HResult EncodeNumber(std::wstring_view text, ValueData& data) {
    const std::wstring terminated(text);
    std::uint32_t number = 0;
    const HResult result = platform::UnsignedFromText(terminated.c_str(), number);
    if (hr::Failed(result)) return result;
    data.type = registry::type::kDword;
    for (int shift = 0; shift < 32; shift += 8) data.bytes.push_back(static_cast<unsigned char>(number >> shift));
    return hr::kOk;
}

unsigned HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return static_cast<unsigned>(c - L'0');
    if (c >= L'A' && c <= L'F') return static_cast<unsigned>(c - L'A' + 10);
    if (c >= L'a' && c <= L'f') return static_cast<unsigned>(c - L'a' + 10);
    return 0;  // the format reads any other character as 0
}

HResult EncodeBinary(std::wstring_view text, ValueData& data) {
    if (text.size() % 2 != 0) return hr::kFail;
    data.type = registry::type::kBinary;
    data.bytes.assign(text.size() / 2, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned digit = HexDigitValue(text[i]);
        data.bytes[i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? digit << 4 : digit);
    }
    return hr::kOk;
}

}  // namespace

bool IsValueTypeLetter(std::wstring_view token) {
    if (token.size() != 1) return false;
    const wchar_t letter = UpperLetter(token[0]);
    return letter == L'S' || letter == L'M' || letter == L'D' || letter == L'B';
}

HResult EncodeValue(wchar_t typeLetter, std::wstring_view text, ValueData& data) {
    data = ValueData{};
    switch (UpperLetter(typeLetter)) {
        case L'S':
            EncodeString(text, data);
            return hr::kOk;
        case L'M':
            EncodeMultiString(text, data);
            return hr::kOk;
        case L'D':
            return EncodeNumber(text, data);
        case L'B':
            return EncodeBinary(text, data);
        default:
            return hr::kDispException;
    }
}

}  // namespace tessaly
