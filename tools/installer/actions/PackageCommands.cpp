#include "tools/installer/actions/PackageCommands.h"

namespace tessaly::installer {

#define TESSALY_FOLDER_VARIABLE L"TESSALY_PACKAGE_FOLDER"
const wchar_t kFolderVariable[] = TESSALY_FOLDER_VARIABLE;

namespace {

// Every command stops at its first error, writes no progress records (they
// would reach the log as serialised objects) and writes UTF-8; it exits
// with 0 when done, 1 with Windows' message when not.
std::wstring Framed(const wchar_t* verb, const wchar_t* body) {
    return std::wstring(LR"PS($ErrorActionPreference = 'Stop'
$ProgressPreference = 'SilentlyContinue'
[Console]::OutputEncoding = [Text.Encoding]::UTF8
$name = 'Quenbridge.Tessaly'
try {
)PS") + body + LR"PS(    exit 0
} catch {
    Write-Output ")PS" + verb + LR"PS( failed: $($_.Exception.Message)"
    exit 1
}
)PS";
}

// For the installing user, the install folder the package's external location.
const wchar_t kRegister[] = LR"PS(    $folder = $env:)PS" TESSALY_FOLDER_VARIABLE LR"PS(
    $package = [IO.Path]::Combine($folder, 'Tessaly.msix')
    Add-AppxPackage -Path $package -ExternalLocation $folder
    Write-Output "registered $package for $env:USERNAME, external location $folder"
)PS";

const wchar_t kRemove[] = LR"PS(    $registered = @(Get-AppxPackage -Name $name)
    if ($registered.Count -eq 0) { Write-Output "$name is not registered for $env:USERNAME" }
    foreach ($package in $registered) {
        Remove-AppxPackage -Package $package.PackageFullName
        Write-Output "removed $($package.PackageFullName) for $env:USERNAME"
    }
)PS";

// Needs an administrator's rights: the action runs as the system.
const wchar_t kRemoveForAllUsers[] = LR"PS(    $registered = @(Get-AppxPackage -AllUsers -Name $name)
    if ($registered.Count -eq 0) { Write-Output "$name is registered for no user" }
    foreach ($package in $registered) {
        Remove-AppxPackage -Package $package.PackageFullName -AllUsers
        Write-Output "removed $($package.PackageFullName) for every user"
    }
)PS";

}  // namespace

const wchar_t* VerbName(PackageVerb verb) {
    switch (verb) {
        case PackageVerb::Register: return L"register";
        case PackageVerb::Remove: return L"remove";
        case PackageVerb::RemoveForAllUsers: return L"remove-all-users";
    }
    return L"";
}

bool NeedsFolder(PackageVerb verb) { return verb == PackageVerb::Register; }

std::wstring CommandText(PackageVerb verb) {
    switch (verb) {
        case PackageVerb::Register: return Framed(VerbName(verb), kRegister);
        case PackageVerb::Remove: return Framed(VerbName(verb), kRemove);
        case PackageVerb::RemoveForAllUsers: return Framed(VerbName(verb), kRemoveForAllUsers);
    }
    return {};
}

std::wstring Base64OfUtf16(const std::wstring& text) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        unsigned long group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += static_cast<wchar_t>(kDigits[(group >> 18) & 63]);
        out += static_cast<wchar_t>(kDigits[(group >> 12) & 63]);
        out += left > 1 ? static_cast<wchar_t>(kDigits[(group >> 6) & 63]) : L'=';
        out += left > 2 ? static_cast<wchar_t>(kDigits[group & 63]) : L'=';
    }
    return out;
}

}  // namespace tessaly::installer
