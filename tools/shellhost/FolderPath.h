#pragma once
// The folder a right-click is on, from the path the user gave: made whole
// (relative to the current folder, "/" read as "\"; under Wine a Linux path
// read as drive Z:'s) and checked before any shell call sees it, since the
// shell's own parser takes some odd paths badly (under Wine a "/..." path
// makes SHParseDisplayName read through a null pointer).
#include <string>
#include <vector>

#include "tools/shellhost/CommandLine.h"

namespace tessaly::shellhost {

struct FolderPath {
    std::wstring path;     // the full path, when `problem` is empty
    std::wstring problem;  // why PATH cannot be right-clicked, in words
};

FolderPath ResolveFolder(ClickKind kind, const std::wstring& given);

// Each path resolved in place; the first problem, or empty when all are sound.
std::wstring ResolveFolders(ClickKind kind, std::vector<std::wstring>& paths);

}  // namespace tessaly::shellhost
