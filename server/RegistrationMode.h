#pragma once
// Whether registration goes to the current user instead of the machine. One
// flag for the whole process: DllInstall "user" sets it, and from then on
// every script run sends its HKEY_CLASSES_ROOT blocks to
// HKEY_CURRENT_USER\Software\Classes.
namespace tessaly {

void SetPerUserRegistration(bool perUser);
bool IsPerUserRegistration();

}  // namespace tessaly
