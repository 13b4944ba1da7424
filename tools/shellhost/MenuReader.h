#pragma once
// Reads a filled menu back into plain data.
#include <windows.h>

#include <vector>

#include "tools/shellhost/MenuTree.h"

namespace tessaly::shellhost {

std::vector<MenuNode> ReadMenu(HMENU menu);

// The submenu handle of the item `path` leads to (positions level by level).
HMENU SubmenuAt(HMENU menu, const std::vector<int>& path);

}  // namespace tessaly::shellhost
