// Linked in place of the platform's own query (platform/win/PackageQuery.cpp).
#include "tests/shellext/PackageQueryDouble.h"

#include "platform/win/PackageQuery.h"

namespace tessaly {

namespace {
bool g_registered = false;
}  // namespace

void testing::SetPackageRegistered(bool registered) { g_registered = registered; }

bool platform::PackageFamilyRegistered(const wchar_t*) noexcept { return g_registered; }

}  // namespace tessaly
