#pragma once
// The registry the product works on: the system's own on Windows; on the host
// one in-memory registry per process, laid out like a new user's (HKEY_CURRENT_USER
// holds an empty Software key).
#include "platform/registry/Registry.h"

namespace tessaly::registry {

Registry& SystemRegistry();

}  // namespace tessaly::registry
