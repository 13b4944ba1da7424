#pragma once
// Runs the Windows 11 package's script (tessaly-package.ps1, installed
// beside the package) with Windows PowerShell and collects what it writes,
// for the installer's log.
#include <string>
#include <vector>

namespace tessaly::installer {

struct ScriptOutcome {
    std::vector<std::wstring> lines;  // what the script wrote, line by line
    std::wstring ending;              // how the run ended, as one line
};

// Runs the script in folder with the given verb, for at most timeoutMs.
// The folder reaches PowerShell only as the script's path, a plain argument
// in double quotes (which no Windows path holds), never inside PowerShell
// code: the script finds its folder itself.
ScriptOutcome RunPackageScript(const std::wstring& folder, const wchar_t* verb, unsigned long timeoutMs);

}  // namespace tessaly::installer
