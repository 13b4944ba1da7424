#pragma once
// Where the shell finds one of our icons: "<module path>,-<id>", the module
// being the one that holds this code (the DLL, whatever it is installed as).
#include <string>

namespace tessaly::resources {

// Empty when the module's path cannot be read.
std::wstring IconLocation(unsigned id);

}  // namespace tessaly::resources
