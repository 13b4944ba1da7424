#include "tests/support/GuiObjects.h"

#include <windows.h>

namespace tessaly::testing {

GuiObjects GuiObjects::Now() {
    const HANDLE process = ::GetCurrentProcess();
    GuiObjects counts{::GetGuiResources(process, GR_GDIOBJECTS), ::GetGuiResources(process, GR_USEROBJECTS)};
    if (counts.gdi != 0) return counts;
    for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++counts.gdi;
        if (slot % 2 == 0 && ::IsMenu(reinterpret_cast<HMENU>(slot))) ++counts.user;  // USER handles are even there
    }
    return counts;
}

}  // namespace tessaly::testing
