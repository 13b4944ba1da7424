#include "platform/registry/MemoryRegistry.h"
#include "platform/registry/SystemRegistry.h"

namespace tessaly::registry {

namespace {
// What a new user's registry holds that the product relies on.
bool LayOutNewUser(MemoryRegistry& registry) {
    Key software;
    return CreateKey(registry, kCurrentUser, L"Software", access::kAllAccess, software) == win32::kSuccess;
}
}  // namespace

Registry& SystemRegistry() {
    static MemoryRegistry registry;
    static const bool laidOut = LayOutNewUser(registry);
    (void)laidOut;
    return registry;
}

}  // namespace tessaly::registry
