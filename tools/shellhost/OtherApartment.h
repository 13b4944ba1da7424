#pragma once
// The second question Windows 11's classic menu asks of a packaged command:
// after GetState(FALSE) on its UI thread, GetState(TRUE) from another
// thread, of a new instance of the command (as Microsoft's Explorer command
// sample describes the caller, and MediaArea/MediaInfo#1290 logs it).
#include <functional>
#include <string>

#include <shobjidl.h>

#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {

// Makes a new instance of the command, on the calling thread.
using CommandMaker = std::function<HRESULT(ComPtr<IExplorerCommand>& command)>;

struct OtherApartmentAnswer {
    HRESULT result = E_FAIL;  // GetState's, or the failure before it
    EXPCMDSTATE state = ECS_HIDDEN;
    std::wstring problem;  // what failed before GetState could be asked
};

// From a thread of the multithreaded apartment: a new instance from `make`,
// SetSite (when there is a site) and GetState(TRUE) with the array and the
// site marshaled there. Their calls come back to this thread's apartment,
// which serves them while it waits, at most `seconds`.
OtherApartmentAnswer AskFromAnotherApartment(const CommandMaker& make, IShellItemArray* items, IUnknown* site,
                                             unsigned seconds);

}  // namespace tessaly::shellhost
