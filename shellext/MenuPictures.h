#pragma once
// The classic menu's pictures, at the menu's check-mark size.
//
// The menu draws a check-mark bitmap in a box of SM_CXMENUCHECK pixels for
// the DPI of the monitor it shows on. Each picture is the one drawn for
// exactly that size, in the middle of the box, never scaled (the largest
// drawn size that fits where none was drawn for it). A menu drawn without
// a theme gets the picture's ink (its outlines and marks) as a monochrome
// bitmap, at 13 pixels (100 % with the classic menu font) the ink of the
// 16-colour bitmap it always showed. MenuTheme.h says which menu gets which.
#include <windows.h>

#include "shellext/HandleOwners.h"
#include "shellext/MenuTheme.h"

namespace tessaly::shellext {

struct MenuPictureIds {
    int bitmap;         // the 13 x 13 16-colour bitmap (IDB_)
    unsigned icon;      // the drawn light picture (IDI_)
    unsigned darkIcon;  // the drawn dark picture
};

// The DPI of the monitor the menu shows on (the one under the position of
// the message that asked for it), where this thread is per-monitor aware
// and Windows can tell it (Windows 8.1 and later); else 0, the DPI the
// process's system metrics already follow.
UINT MenuDpi();

// SM_CXMENUCHECK for `dpi` (Windows 10 1607 and later); for 0, or where
// Windows cannot tell, the process's own.
int CheckMarkSide(UINT dpi);

// A null bitmap when nothing could be loaded: the item then shows none.
Bitmap LoadMenuPicture(HINSTANCE module, const MenuPictureIds& ids, int side, const PictureLook& look);

}  // namespace tessaly::shellext
