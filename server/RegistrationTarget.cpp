#include "server/RegistrationTarget.h"

namespace tessaly {

RegistrationTarget::RegistrationTarget(registry::Registry& system, std::wstring classId, bool perUser, bool removing)
    : m_classes(system, perUser),
      m_guard(
          m_classes,
          [&system, classId = std::move(classId), perUser](SharedWith sharing) {
              // Asked once this run's own class is gone: a class found is another registration's.
              return sharing == SharedWith::OtherBuild ? ClassRegisteredInEitherView(system, classId, perUser)
                                                       : ClassRegisteredInThisView(system, classId);
          },
          removing) {}

}  // namespace tessaly
