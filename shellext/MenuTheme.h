#pragma once
// How the menus Tessaly adds to look, and which pictures suit them.
//
// A handler cannot see the menu it adds to: nothing in the HMENU tells a
// dark menu from a light one. What can be known:
// - Themed menus (Windows 10 and 11 with visual styles) blend a 32-bit
//   bitmap with alpha onto their own colour, so a picture needs no ground
//   of its own and shows no box, on the menu or on the highlight. Menus
//   drawn without a theme (the classic look, high contrast, Wine) take a
//   monochrome bitmap as documented for SetMenuItemBitmaps: its black
//   drawn in the item's text colour, its white in the item's own colour,
//   so it has no box on the menu or on the highlight and reads as the
//   item's text does, in any colours the user chose.
// - Themed menus are dark only where the program asks for dark menus. The
//   file manager does, following the user's app mode (AppsUseLightTheme = 0
//   under Themes\Personalize, read afresh each time); Windows 11's first
//   menu always follows it. Most other programs' dialogs do not, so their
//   menus stay light in a dark app mode.
// - In high contrast the menu's colour itself says which set the first
//   menu's icons need.
// docs/windows11.md gives the sources and the contrast measured.
#include <windows.h>

namespace tessaly::shellext {

struct MenuFacts {
    bool themed = false;          // this process draws its menus with a visual style
    bool highContrast = false;    // a contrast theme is on
    bool appsDark = false;        // the user's app mode is dark
    bool fileManager = false;     // this process is the file manager's (explorer.exe)
    bool menuColourDark = false;  // COLOR_MENU is a dark colour
};

// What this process and the user's settings say now.
MenuFacts ReadMenuFacts();

// How the classic menu's pictures are drawn.
struct PictureLook {
    bool darkSet = false;     // the pictures drawn for dark menus
    bool monochrome = false;  // one bit a pixel, the ink black; else alpha only
};
PictureLook ClassicPictureLook(const MenuFacts& facts) noexcept;

// Whether Windows 11's first menu (the Explorer command's icons) is dark.
bool CommandIconsDark(const MenuFacts& facts) noexcept;

// A colour's relative luminance (WCAG): 0 for black to 1 for white.
double Luminance(COLORREF colour) noexcept;

// Whether a colour is dark: its relative luminance below the middle of
// black's and white's (0.18), where text of either would read at the same
// contrast.
bool IsDarkColour(COLORREF colour) noexcept;

// The icon to show for `icon` (one of the light IDI_ ids of the menus) in
// the first menu: its dark variant while that menu is dark, else `icon`.
unsigned ThemedIcon(unsigned icon);

}  // namespace tessaly::shellext
