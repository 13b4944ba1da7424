#include "platform/registry/RegistryViews.h"

namespace tessaly::registry {

namespace {

// Key names match without regard to letter case (the names here are ASCII).
bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// True when path is the key `prefix` or lies below it; rest becomes the
// path below it ("" for the key itself).
bool Below(std::wstring_view path, std::wstring_view prefix, std::wstring_view& rest) {
    if (path.size() < prefix.size() || !SameName(path.substr(0, prefix.size()), prefix)) return false;
    if (path.size() == prefix.size()) {
        rest = {};
        return true;
    }
    if (path[prefix.size()] != L'\\') return false;
    rest = path.substr(prefix.size() + 1);
    return true;
}

bool BelowAny(std::wstring_view path, std::initializer_list<std::wstring_view> prefixes) {
    std::wstring_view rest;
    for (std::wstring_view prefix : prefixes)
        if (Below(path, prefix, rest)) return true;
    return false;
}

// Below a classes root: the redirected keys; the rest (AppID, HCP, file
// types, Directory, Drive and so on) is shared.
bool IsSharedClassesKey(std::wstring_view pathBelowClasses) {
    return !BelowAny(pathBelowClasses, {L"CLSID", L"DirectShow", L"Interface", L"Media Type", L"MediaFoundation"});
}

// Below HKLM\Software (itself redirected, with all it holds), the keys both
// views share. Classes is dealt with on its own.
bool IsSharedSoftwareKey(std::wstring_view pathBelowSoftware) {
    return BelowAny(pathBelowSoftware,
                    {L"Clients",
                     L"Microsoft\\COM3",
                     L"Microsoft\\Cryptography\\Calais\\Current",
                     L"Microsoft\\Cryptography\\Calais\\Readers",
                     L"Microsoft\\Cryptography\\Services",
                     L"Microsoft\\CTF\\SystemShared",
                     L"Microsoft\\CTF\\TIP",
                     L"Microsoft\\DFS",
                     L"Microsoft\\Driver Signing",
                     L"Microsoft\\EnterpriseCertificates",
                     L"Microsoft\\EventSystem",
                     L"Microsoft\\MSMQ",
                     L"Microsoft\\Non-Driver Signing",
                     L"Microsoft\\Notepad\\DefaultFonts",
                     L"Microsoft\\OLE",
                     L"Microsoft\\RAS",
                     L"Microsoft\\RPC",
                     L"Microsoft\\Shared Tools\\MSInfo",
                     L"Microsoft\\SystemCertificates",
                     L"Microsoft\\TermServLicensing",
                     L"Microsoft\\TransactionServer",
                     L"Microsoft\\Windows\\CurrentVersion\\App Paths",
                     L"Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
                     L"Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
                     L"Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
                     L"Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
                     L"Microsoft\\Windows\\CurrentVersion\\Group Policy",
                     L"Microsoft\\Windows\\CurrentVersion\\Policies",
                     L"Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
                     L"Microsoft\\Windows\\CurrentVersion\\Setup",
                     L"Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Console",
                     L"Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
                     L"Microsoft\\Windows NT\\CurrentVersion\\FontLink",
                     L"Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                     L"Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Language Pack",
                     L"Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Perflib",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Ports",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Print",
                     L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                     L"Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
                     L"Policies",
                     L"RegisteredApplications"});
}

// A path below HKEY_USERS as the user's own: (is it the user's classes key
// "<user>_Classes", the path below the user's key).
std::optional<std::pair<bool, std::wstring_view>> BelowUser(std::wstring_view path) {
    const std::size_t end = path.find(L'\\');
    if (end == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view user = path.substr(0, end);
    constexpr std::wstring_view kClassesSuffix = L"_Classes";
    const bool classes =
        user.size() > kClassesSuffix.size() && SameName(user.substr(user.size() - kClassesSuffix.size()), kClassesSuffix);
    return std::make_pair(classes, path.substr(end + 1));
}

}  // namespace

std::optional<std::wstring_view> PathBelowClasses(KeyId root, std::wstring_view path) {
    std::wstring_view rest;
    if (root == kClassesRoot) {
        if (!path.empty()) return path;
    } else if (root == kLocalMachine || root == kCurrentUser) {
        if (Below(path, L"Software\\Classes", rest) && !rest.empty()) return rest;
    } else if (root == kUsers) {
        if (const auto user = BelowUser(path)) {
            if (user->first && !user->second.empty()) return user->second;
            if (!user->first) return PathBelowClasses(kCurrentUser, user->second);
        }
    }
    return std::nullopt;
}

bool IsSharedBetweenViews(KeyId root, std::wstring_view path) {
    if (const auto classesPath = PathBelowClasses(root, path)) return IsSharedClassesKey(*classesPath);
    std::wstring_view rest;
    // HKLM\Software is redirected, but for the keys the table shares
    // (Classes itself is shared: a path below it was taken above).
    if (root == kLocalMachine && Below(path, L"Software", rest))
        return SameName(rest, L"Classes") || IsSharedSoftwareKey(rest);
    // Everything else, the whole of each user's own registry included.
    return true;
}

}  // namespace tessaly::registry
