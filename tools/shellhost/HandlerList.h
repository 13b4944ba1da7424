#pragma once
// The context-menu handlers that the registry names for one kind of click.
#include <windows.h>

#include <string>
#include <vector>

#include "tools/shellhost/CommandLine.h"

namespace tessaly::shellhost {

struct HandlerEntry {
    std::wstring name;       // the key name under ContextMenuHandlers
    std::wstring classText;  // the class id as written in the registry
    CLSID clsid{};
    bool validClass = false;
    bool approved = false;  // listed under Shell Extensions\Approved
    bool perUser = false;   // found under HKEY_CURRENT_USER\Software\Classes
};

// The class key whose ShellEx\ContextMenuHandlers the file manager reads.
const wchar_t* ClassKeyOf(ClickKind kind);

// As Windows' merged HKEY_CLASSES_ROOT shows them, which Wine's does not
// (it holds the machine's classes only): the current user's handlers first,
// then the machine's whose names the user's do not take, each in the order
// the registry enumerates them. A handler key's default value names its
// class; a key whose name is itself a class id may leave it empty.
std::vector<HandlerEntry> RegisteredHandlers(ClickKind kind);

}  // namespace tessaly::shellhost
