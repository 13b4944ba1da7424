#pragma once
// The PowerShell commands of the installer's actions for the Windows 11
// package: fixed text in the actions DLL, which the MSI carries, so nothing
// a user could change in the install folder is ever run. The one folder a
// command needs (the registration's install folder) reaches it as the value
// of an environment variable, never inside its text.
#include <string>

namespace tessaly::installer {

enum class PackageVerb { Register, Remove, RemoveForAllUsers };
constexpr PackageVerb kPackageVerbs[] = {PackageVerb::Register, PackageVerb::Remove, PackageVerb::RemoveForAllUsers};

// The variable that gives the registration its install folder.
extern const wchar_t kFolderVariable[];

// How the installer's log names the verb: "register", "remove", "remove-all-users".
const wchar_t* VerbName(PackageVerb verb);
bool NeedsFolder(PackageVerb verb);
// The verb's PowerShell command.
std::wstring CommandText(PackageVerb verb);
// Base64 of the text's UTF-16 bytes, as powershell.exe -EncodedCommand takes a command.
std::wstring Base64OfUtf16(const std::wstring& text);

}  // namespace tessaly::installer
