#include <windows.h>

#include "resources/IconLocation.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly::resources {

std::wstring IconLocation(unsigned id) {
    // Long paths are possible: grow the buffer until the path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path.data(),
                                                  static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    return path + L",-" + std::to_wstring(id);
}

}  // namespace tessaly::resources
