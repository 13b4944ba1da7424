#pragma once
// tessaly-shell --command: one right-click as Windows 11's first menu makes
// it, for one Explorer command.
#include <functional>
#include <string>

#include "tools/shellhost/CommandLine.h"

namespace tessaly::shellhost {

using Report = std::function<void(const std::wstring&)>;

// With the paths made whole and the apartment open (Main.cpp): the
// program's exit status, 0, or 2 when the command could not be made, asked
// or invoked.
int RunCommandMode(const Options& options, const Report& out, const Report& err);

}  // namespace tessaly::shellhost
