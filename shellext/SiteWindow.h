#pragma once
// The window of the file manager that asked an Explorer command, found
// through the site it gave the command.
#include <windows.h>

#include <unknwn.h>

namespace tessaly::shellext {

// The site's window, as IUnknown_GetWindow finds it (the way Microsoft's
// Explorer command sample finds its owner), else the window of the browser
// the site serves as SID_STopLevelBrowser; null without a site or a window.
HWND SiteWindow(IUnknown* site) noexcept;

}  // namespace tessaly::shellext
