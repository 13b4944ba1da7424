#pragma once
// The GDI objects and USER objects the process holds. GetGuiResources counts
// them on Windows but answers 0 under Wine, whose handle tables find an
// object by its slot alone when the upper half of the handle is 0: there
// every slot is asked, the USER table for menus (the USER objects a menu
// handler makes; the tests count windows apart).
namespace tessaly::testing {

struct GuiObjects {
    unsigned gdi = 0;
    unsigned user = 0;
    static GuiObjects Now();
};

}  // namespace tessaly::testing
