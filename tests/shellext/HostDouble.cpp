// Linked in place of the platform's own queries (platform/win/PackageQuery.cpp
// and platform/win/HostProcess.cpp).
#include "tests/shellext/HostDouble.h"

#include "platform/win/HostProcess.h"
#include "platform/win/PackageQuery.h"

namespace tessaly {

namespace {
testing::HostFacts g_facts;
}  // namespace

void testing::SetHostFacts(const HostFacts& facts) { g_facts = facts; }

bool platform::PackageFamilyRegistered(const wchar_t*) noexcept { return g_facts.packageRegistered; }

std::uint32_t platform::WindowsBuildNumber() noexcept { return g_facts.windowsBuild; }

std::wstring platform::ProcessImagePath() {
    return g_facts.fileManagerProcess ? L"C:\\Windows\\explorer.exe" : L"C:\\tests\\test_shellext.exe";
}

}  // namespace tessaly
