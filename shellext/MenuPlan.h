#pragma once
// What the Tessaly submenu holds, worked out apart from any menu handle: the
// items in order with their texts, command offsets and pictures, and for each
// file item the file it opens. Built from the folder listing and the six
// settings; the Windows side only renders it (TessalyShExtMenu.cpp).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "listing/FolderListing.h"

namespace tessaly {

enum class PlanItemKind { File, Separator, Options };

// Which of the handler's four pictures an item shows.
enum class MenuPicture { None, Accessed, Modified, Options };

struct PlanItem {
    PlanItemKind kind = PlanItemKind::Separator;
    std::wstring text;         // as a classic menu takes it: two columns split by a tab, "&" doubled
    std::wstring title;        // the same in one line, as Windows 11's menus show it, "&" doubled too
    std::int32_t offset = -1;  // command offset; -1 for a separator
    MenuPicture picture = MenuPicture::None;
    std::wstring path;  // the file a file item opens
};

struct MenuPlan {
    std::vector<PlanItem> items;  // submenu positions 0, 1, ...
    std::int32_t fileItemCount = 0;
    // Command ids used: the file items and "Options...".
    std::uint32_t IdsUsed() const { return static_cast<std::uint32_t>(fileItemCount) + 1; }
};

// Reads one setting by value name (ReadSetting in the product).
using SettingReader = std::function<std::int32_t(const wchar_t* name)>;

// Command ids the shell offers for idCmdFirst..idCmdLast; none when the range
// is reversed.
std::uint64_t AvailableIds(std::uint32_t idCmdFirst, std::uint32_t idCmdLast);

// Reads FileCount, ShowRecentModified, ShowRecentAccessed and HighlightDays,
// checks that the ids suffice for full lists (else throws std::runtime_error
// "Too few command IDs allocated"), calls started (the build begins), then
// for each list that is on reads WeekStart and ShowTimeHint and orders the
// listing by the list's time (the first list scans the folder, the second
// takes the times the first one's opens read): recently accessed first, then
// recently modified, each followed by a separator, and last "Options...".
//
// Settings only a registry edit can store are read so that no id beyond the
// range is ever used: both lists off shows "Options..." alone (rather than a
// list the user switched off), and a FileCount below 1 lists no files.
MenuPlan PlanMenu(FolderListing& listing, const SettingReader& readSetting, std::uint64_t availableIds,
                  const std::function<void()>& started = {});

// "<mark><date text>\t<name>" with every "&" doubled, so that a menu shows
// the name as it is instead of reading "&" as a mnemonic mark.
std::wstring FileItemText(const wchar_t* mark, const std::wstring& dateText, std::wstring_view name);

// "<mark><date text> — <name>": one line, for a menu without a second
// column (Windows 11's), with every "&" doubled: the classic menu draws an
// Explorer command's "&" as a mnemonic mark, and the first menu drops a lone
// one (docs/windows11.md). The date comes first, as in the classic menu, so
// that both read alike and the newest-first order shows at a glance.
std::wstring FileItemTitle(const wchar_t* mark, const std::wstring& dateText, std::wstring_view name);

}  // namespace tessaly
