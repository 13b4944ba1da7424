#pragma once
// The real registry's side of the script table (Windows only): the lines of
// chosen subtrees, in RegistryContents' layout, and their removal between rows.
#include "RegistryContents.h"

namespace tessaly::testing {

Lines ContentsOfSystemRegistry(const Lines& subtrees);
void RemoveFromSystemRegistry(const Lines& subtrees);

}  // namespace tessaly::testing
