#include "tools/shellhost/MenuTree.h"

#include <algorithm>
#include <cwctype>

namespace tessaly::shellhost {
namespace {

constexpr int kIndentStep = 2;
constexpr std::size_t kMinimumRule = 8;

std::wstring Folded(std::wstring folded) {
    for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

// A query is what the user read (or typed raw, accelerator marks and all).
bool SameText(const std::wstring& itemText, const std::wstring& query) {
    const std::wstring folded = Folded(query);
    return Folded(Displayed(itemText)) == folded || Folded(itemText) == folded;
}

std::wstring PaddedTo(std::wstring text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), L' ');
    return text;
}

std::wstring TrimmedRight(std::wstring text) {
    const auto end = text.find_last_not_of(L' ');
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    return text;
}

std::wstring Annotations(const MenuNode& item, IdRange range, MenuKind kind) {
    std::wstring notes;
    auto add = [&notes](const std::wstring& note) {
        if (!notes.empty()) notes += L", ";
        notes += note;
    };
    if (item.isSubmenu) {
        add(L"submenu");
    } else if (kind == MenuKind::Commands) {
        add(L"position " + std::to_wstring(item.id));
    } else {
        add(L"id " + std::to_wstring(item.id));
        if (range.Contains(item.id)) add(L"offset " + std::to_wstring(item.id - range.first));
    }
    if (item.hasPicture) add(L"picture");
    if (item.isDefault) add(L"default");
    if (item.checked) add(L"checked");
    if (item.disabled) add(L"disabled");
    return L"[" + notes + L"]";
}

void FormatLevel(const std::vector<MenuNode>& items, Detail detail, IdRange range, MenuKind kind, int depth,
                 std::vector<std::wstring>& lines) {
    const std::wstring indent(static_cast<std::size_t>(depth * kIndentStep), L' ');
    auto shown = [detail](const std::wstring& text) { return detail == Detail::Full ? text : Displayed(text); };

    std::size_t leftWidth = 0, rightWidth = 0;
    for (const MenuNode& item : items) {
        if (item.separator) continue;
        leftWidth = std::max(leftWidth, shown(LeftColumn(item.text)).size() + (item.isSubmenu ? 2 : 0));
        rightWidth = std::max(rightWidth, shown(RightColumn(item.text)).size());
    }
    const std::size_t rowWidth = leftWidth + (rightWidth > 0 ? 2 + rightWidth : 0);

    for (const MenuNode& item : items) {
        if (item.separator) {
            lines.push_back(indent + std::wstring(std::max(rowWidth, kMinimumRule), L'-'));
            continue;
        }
        std::wstring left = shown(LeftColumn(item.text));
        if (item.isSubmenu) left += L" >";
        std::wstring row = PaddedTo(left, leftWidth);
        if (rightWidth > 0) row += L"  " + PaddedTo(shown(RightColumn(item.text)), rightWidth);
        if (detail == Detail::Full) row = PaddedTo(row, rowWidth) + L"  " + Annotations(item, range, kind);
        lines.push_back(TrimmedRight(indent + row));
        if (item.isSubmenu) FormatLevel(item.children, detail, range, kind, depth + 1, lines);
    }
}

}  // namespace

// A lone '&' only underlines the character after it.
std::wstring Displayed(const std::wstring& text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                shown += L'&';
                ++i;
            }
            continue;
        }
        shown += text[i];
    }
    return shown;
}

std::wstring LeftColumn(const std::wstring& text) { return text.substr(0, text.find(L'\t')); }

std::wstring RightColumn(const std::wstring& text) {
    const auto tab = text.find(L'\t');
    return tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
}

std::vector<std::wstring> FormatMenu(const std::vector<MenuNode>& items, Detail detail, IdRange handlerRange,
                                     MenuKind kind) {
    std::vector<std::wstring> lines;
    FormatLevel(items, detail, handlerRange, kind, 0, lines);
    return lines;
}

const MenuNode* FindSubmenu(const std::vector<MenuNode>& items, const std::wstring& text) {
    for (const MenuNode& item : items) {
        if (!item.isSubmenu) continue;
        if (SameText(item.text, text)) return &item;
        if (const MenuNode* inner = FindSubmenu(item.children, text)) return inner;
    }
    return nullptr;
}

const MenuNode* FindItem(const std::vector<MenuNode>& items, const std::wstring& text) {
    for (const MenuNode& item : items) {
        if (item.separator) continue;
        if (item.isSubmenu) {
            if (const MenuNode* inner = FindItem(item.children, text)) return inner;
            continue;
        }
        if (SameText(item.text, text) || SameText(LeftColumn(item.text), text) ||
            SameText(RightColumn(item.text), text))
            return &item;
    }
    return nullptr;
}

int KeyboardIndex(const std::vector<MenuNode>& items, const MenuNode* target) {
    int index = 0;
    for (const MenuNode& item : items) {
        if (item.separator) continue;
        if (&item == target) return index;
        ++index;
    }
    return -1;
}

}  // namespace tessaly::shellhost
