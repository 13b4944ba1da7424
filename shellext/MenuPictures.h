#pragma once
// The classic menu's pictures, at the menu's check-mark size.
//
// The menu draws a check-mark bitmap as it is, in a box of SM_CXMENUCHECK
// pixels. At 13 (100 % with the classic menu font) a light menu gets the
// 16-colour bitmap as it always did, its grey mapped to the 3-D colours. At
// any other size it gets the picture drawn for the largest size the icon
// holds that fits, in the middle of the box, never scaled: in a light menu
// on the menu's colour (opaque, as menus that copy the bitmap need), in a
// dark one as a premultiplied 32-bit bitmap with alpha, for the themed menus
// of Windows 10 and 11 to blend onto their own colour (docs/windows11.md).
#include <windows.h>

#include "shellext/HandleOwners.h"

namespace tessaly::shellext {

struct MenuPictureIds {
    int bitmap;         // the 13 x 13 16-colour bitmap (IDB_)
    unsigned icon;      // the drawn light picture (IDI_)
    unsigned darkIcon;  // the drawn dark picture
};

// A null bitmap when nothing could be loaded: the item then shows none.
Bitmap LoadMenuPicture(HINSTANCE module, const MenuPictureIds& ids, int side, bool dark);

}  // namespace tessaly::shellext
