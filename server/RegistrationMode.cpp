#include "server/RegistrationMode.h"

#include <atomic>

namespace tessaly {

namespace {
std::atomic<bool> g_perUser{false};
}  // namespace

void SetPerUserRegistration(bool perUser) { g_perUser.store(perUser); }
bool IsPerUserRegistration() { return g_perUser.load(); }

}  // namespace tessaly
