// The string table as the resource compiler put it into this module.
#include <windows.h>

#include "resources/StringTable.h"

// The base of the module this code is linked into (the linker provides it).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly::resources {

std::wstring LoadText(unsigned id) {
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    // With no room given, LoadStringW hands out the text in place (not
    // terminated) and returns its length, so no text is ever cut.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace tessaly::resources
