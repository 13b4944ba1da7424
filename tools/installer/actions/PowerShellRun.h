#pragma once
// Runs one of the package actions' commands (PackageCommands.h) with Windows
// PowerShell and collects what it writes, for the installer's log.
#include <string>
#include <vector>

#include "tools/installer/actions/PackageCommands.h"

namespace tessaly::installer {

struct PowerShellOutcome {
    std::vector<std::wstring> lines;  // what the command wrote, line by line
    std::wstring ending;              // how the run ended, as one line
};

// Runs the verb's command for at most timeoutMs; folder is the install
// folder for a verb that needs one (NeedsFolder), handed over in the
// environment.
PowerShellOutcome RunPackageCommand(PackageVerb verb, const std::wstring& folder, unsigned long timeoutMs);

}  // namespace tessaly::installer
