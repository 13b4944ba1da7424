#pragma once
// Whether a package family is registered for the current user.

namespace tessaly::platform {

// GetPackagesByPackageFamily, looked up at run time: Windows before 8 and
// Wine lack it, and there no package can be registered, so the answer is no.
bool PackageFamilyRegistered(const wchar_t* familyName) noexcept;

}  // namespace tessaly::platform
