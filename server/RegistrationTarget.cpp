#include "server/RegistrationTarget.h"

namespace tessaly {

RegistrationTarget::RegistrationTarget(registry::Registry& system, std::wstring classId, bool perUser, bool removing)
    : m_classes(system, perUser),
      m_classId(std::move(classId)),
      m_perUser(perUser),
      m_guard(
          m_classes,
          [this, &system](SharedWith sharing) {
              // Asked once this run's own class is gone: a class found is another registration's.
              return sharing == SharedWith::OtherBuild ? ClassRegisteredInEitherView(system, m_classId, m_perUser)
                                                       : ClassRegisteredInThisView(system, m_classId);
          },
          removing) {}

}  // namespace tessaly
