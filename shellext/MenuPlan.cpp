#include "shellext/MenuPlan.h"

#include <stdexcept>

#include "listing/Highlight.h"
#include "settings/Settings.h"

namespace tessaly {

namespace {

void AppendMenuText(std::wstring& text, std::wstring_view part) {
    for (const wchar_t c : part) {
        if (c == L'&') text.push_back(L'&');
        text.push_back(c);
    }
}

struct ListSettings {
    std::int32_t fileCount;
    std::int32_t highlightDays;
};

// One list: the first FileCount entries, then a separator. The first list
// scans the folder; a second one stamps the same entries with its own time,
// from the times the first list's opens read, so that a menu opens each
// file once.
void PlanList(MenuPlan& plan, FolderListing& listing, const SettingReader& readSetting, FileTimeKind kind,
              const ListSettings& list, bool second) {
    const std::int32_t weekStart = readSetting(setting::kWeekStart);
    const std::int32_t showTimeHint = readSetting(setting::kShowTimeHint);
    if (second)
        listing.Restamp(kind, showTimeHint == 1, weekStart == 0);
    else
        listing.Scan(kind, showTimeHint == 1, weekStart == 0);

    const MenuPicture picture = kind == FileTimeKind::Accessed ? MenuPicture::Accessed : MenuPicture::Modified;
    std::int32_t taken = 0;
    for (const FileEntry& entry : listing.Files()) {
        if (taken >= list.fileCount) break;
        PlanItem item;
        item.kind = PlanItemKind::File;
        const wchar_t* mark = HighlightMark(entry.DaysAgo, list.highlightDays);
        const std::wstring dateText = entry.DateText();
        item.text = FileItemText(mark, dateText, entry.Name());
        item.title = FileItemTitle(mark, dateText, entry.Name());
        item.offset = plan.fileItemCount;
        item.picture = picture;
        item.path = entry.Path();
        plan.items.push_back(std::move(item));
        ++plan.fileItemCount;
        ++taken;
    }
    plan.items.push_back(PlanItem{});  // separator, also after an empty list
}

}  // namespace

std::uint64_t AvailableIds(std::uint32_t idCmdFirst, std::uint32_t idCmdLast) {
    if (idCmdLast < idCmdFirst) return 0;
    return std::uint64_t{idCmdLast} - idCmdFirst + 1;
}

namespace {

// "<mark><date text><between><name>", every "&" of the three doubled.
std::wstring MarkedItemText(const wchar_t* mark, const std::wstring& dateText, std::wstring_view between,
                            std::wstring_view name) {
    std::wstring text;
    text.reserve(dateText.size() + name.size() + between.size() + 2);
    AppendMenuText(text, mark);
    AppendMenuText(text, dateText);
    text.append(between);
    AppendMenuText(text, name);
    return text;
}

}  // namespace

std::wstring FileItemText(const wchar_t* mark, const std::wstring& dateText, std::wstring_view name) {
    return MarkedItemText(mark, dateText, L"\t", name);
}

std::wstring FileItemTitle(const wchar_t* mark, const std::wstring& dateText, std::wstring_view name) {
    return MarkedItemText(mark, dateText, L" \u2014 ", name);
}

MenuPlan PlanMenu(FolderListing& listing, const SettingReader& readSetting, std::uint64_t availableIds,
                  const std::function<void()>& started) {
    const std::int32_t fileCountSetting = readSetting(setting::kFileCount);
    const bool showModified = readSetting(setting::kShowRecentModified) != 0;
    const bool showAccessed = readSetting(setting::kShowRecentAccessed) != 0;
    const ListSettings list{fileCountSetting < 1 ? 0 : fileCountSetting, readSetting(setting::kHighlightDays)};

    // Reserved for full lists, even when the folder holds fewer files.
    const std::uint64_t needed =
        (showAccessed ? std::uint64_t(list.fileCount) : 0) + (showModified ? std::uint64_t(list.fileCount) : 0) + 1;
    if (availableIds < needed) throw std::runtime_error("Too few command IDs allocated");
    if (started) started();

    MenuPlan plan;
    if (showAccessed) PlanList(plan, listing, readSetting, FileTimeKind::Accessed, list, false);
    if (showModified) PlanList(plan, listing, readSetting, FileTimeKind::Modified, list, showAccessed);

    PlanItem options;
    options.kind = PlanItemKind::Options;
    options.text = L"Options...";
    options.title = options.text;
    options.offset = plan.fileItemCount;
    options.picture = MenuPicture::Options;
    plan.items.push_back(std::move(options));
    return plan;
}

}  // namespace tessaly
