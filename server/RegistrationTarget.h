#pragma once
// The registry that a registration script of the DLL runs against: the
// system's, with HKEY_CLASSES_ROOT standing for the classes of the run's
// mode (ClassesStore), and every deletion kept from what another
// registration still needs (SharedEntryGuard; docs/registry-views.md).
#include <string>

#include "platform/registry/Registry.h"
#include "server/ClassesStore.h"
#include "server/SharedEntryGuard.h"

namespace tessaly {

class RegistrationTarget {
public:
    // classId: the handler class, "{...}"; perUser: the mode of the run;
    // removing: whether it unregisters.
    RegistrationTarget(registry::Registry& system, std::wstring classId, bool perUser, bool removing);
    RegistrationTarget(const RegistrationTarget&) = delete;
    RegistrationTarget& operator=(const RegistrationTarget&) = delete;

    registry::Registry& Registry() { return m_guard; }

private:
    ClassesStore m_classes;
    // Kept here for the guard's question rather than in its closure, which
    // would then own a string: clang names such a closure's constructor in
    // the debug information by the source file's full path.
    const std::wstring m_classId;
    const bool m_perUser;
    SharedEntryGuard m_guard;
};

}  // namespace tessaly
