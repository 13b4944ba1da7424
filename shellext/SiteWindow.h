#pragma once
// The window of the file manager that asked an Explorer command, found
// through the site it gave the command.
#include <windows.h>

#include <unknwn.h>

namespace tessaly::shellext {

// The window of the browser the site serves as SID_STopLevelBrowser (the
// file manager's frame), else the site's own window as IUnknown_GetWindow
// finds it; null without a site or a window.
HWND SiteWindow(IUnknown* site) noexcept;

}  // namespace tessaly::shellext
