#include "shellext/SiteWindow.h"

#include <oleidl.h>
#include <servprov.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/com/ComPtr.h"

namespace tessaly::shellext {

HWND SiteWindow(IUnknown* site) noexcept {
    if (site == nullptr) return nullptr;
    HWND window = nullptr;
    // The file manager's own window first: the site itself may be a child
    // (the view), which an owned window would not stay above once the
    // frame is activated.
    com::ComPtr<IShellBrowser> browser;
    if (SUCCEEDED(::IUnknown_QueryService(site, SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) &&
        browser && SUCCEEDED(browser->GetWindow(&window)) && window != nullptr)
        return window;
    window = nullptr;
    if (SUCCEEDED(::IUnknown_GetWindow(site, &window)) && window != nullptr) return window;
    return nullptr;
}

}  // namespace tessaly::shellext
