#pragma once
// Entries of the string table by id (the IDS_ values of ResourceIds.h).
#include <string>

namespace tessaly::resources {

// The text of the entry, taken from the module that holds this code (the DLL
// in the product, not the program that loaded it); empty when there is no
// such entry.
std::wstring LoadText(unsigned id);

}  // namespace tessaly::resources
