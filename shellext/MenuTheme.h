#pragma once
// Whether the menus Tessaly adds to are dark, and which icon suits them.
//
// Windows 10 (1809 on) and 11 draw the file manager's context menus, the
// classic one and Windows 11's first one, dark when the user's app mode is
// dark: "Choose your default app mode" in Settings, stored as the value
// AppsUseLightTheme = 0 of the key Themes\Personalize under
// HKCU\Software\Microsoft\Windows\CurrentVersion (read afresh each time;
// missing means light). The system mode (SystemUsesLightTheme) is the
// taskbar's, not the menus'. In high contrast the menus take the contrast
// theme's colours, never the dark theme's, so the light pictures (on the
// menu's own colour) are used.
// docs/windows11.md gives the sources.
namespace tessaly::shellext {

bool MenusAreDark();

// The icon to show for `icon` (one of the light IDI_ ids of the menus): its
// dark variant while the menus are dark, else `icon` itself.
unsigned ThemedIcon(unsigned icon);

}  // namespace tessaly::shellext
