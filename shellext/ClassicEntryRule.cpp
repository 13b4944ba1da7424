#include "shellext/ClassicEntryRule.h"

namespace tessaly::shellext {

namespace {

bool IsDriveLetter(wchar_t c) noexcept { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

wchar_t LowerAscii(wchar_t c) noexcept { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

bool PackagedEntryShows(const MenuSurroundings& menu) noexcept {
    return menu.process64Bit && menu.fileManagerProcess && menu.windowsBuild >= kFirstWindows11Build &&
           !menu.driveRoot && menu.packageRegistered && !menu.commandBlocked && !menu.classicBlocked &&
           !menu.classicMenuOnly;
}

bool IsDriveRoot(std::wstring_view path) noexcept {
    constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
    if (path.substr(0, kLongPrefix.size()) == kLongPrefix) path.remove_prefix(kLongPrefix.size());
    return path.size() == 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool IsFileManagerImage(std::wstring_view imagePath) noexcept {
    constexpr std::wstring_view kName = L"explorer.exe";
    const std::size_t slash = imagePath.find_last_of(L"\\/");
    const std::wstring_view name = slash == std::wstring_view::npos ? imagePath : imagePath.substr(slash + 1);
    if (name.size() != kName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (LowerAscii(name[i]) != kName[i]) return false;
    return true;
}

}  // namespace tessaly::shellext
