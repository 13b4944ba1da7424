#pragma once
// One Tessaly entry in every menu, and never none: where Windows shows our
// packaged Explorer command, the classic handler adds nothing
// (ClassicEntryRule.h holds the rule; this reads what it needs).
// docs/windows11.md gives the evidence and what a Windows 11 machine must
// confirm.
#include <string>

#include "shellext/ClassicEntryRule.h"

namespace tessaly::shellext {

// Everything the rule asks, for a menu of `folder` in this process.
MenuSurroundings ReadMenuSurroundings(const std::wstring& folder);

// True when the menu being built for `folder` already shows the packaged
// command, so the classic handler adds nothing. Asks the package store and
// the registry only where their answer can matter.
bool ClassicEntryStandsAside(const std::wstring& folder);

}  // namespace tessaly::shellext
