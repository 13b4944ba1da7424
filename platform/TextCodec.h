#pragma once
// Conversions between UTF-16 (wide) text and 8-bit text of a code page.
#include <string>
#include <string_view>

namespace tessaly::platform {

enum class CodePage {
    SystemAnsi,  // CP_ACP
    ThreadAnsi,  // CP_THREAD_ACP
};

std::wstring NarrowToWide(std::string_view text, CodePage codePage);
std::string WideToNarrow(std::wstring_view text, CodePage codePage);

}  // namespace tessaly::platform
