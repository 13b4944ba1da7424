#pragma once
// Stands in for the package query in the handler's test program: no package
// can be registered under Wine, so a test says whether ours is.

namespace tessaly::testing {

void SetPackageRegistered(bool registered);

}  // namespace tessaly::testing
