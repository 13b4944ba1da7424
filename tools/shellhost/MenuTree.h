#pragma once
// A context menu as plain data, read back from the menu a handler filled, and
// its printed forms. Kept apart from Win32 so that what the tool prints can be
// checked without a menu.
#include <cstdint>
#include <string>
#include <vector>

namespace tessaly::shellhost {

struct MenuNode {
    bool separator = false;
    std::wstring text;  // as inserted: a tab splits the two columns
    std::uint32_t id = 0;
    bool hasPicture = false;  // an item bitmap or check-mark bitmaps
    bool disabled = false;
    bool checked = false;
    bool isDefault = false;
    bool isSubmenu = false;
    std::vector<MenuNode> children;
};

// The range of command ids one handler took in QueryContextMenu.
struct IdRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    bool Contains(std::uint32_t id) const { return id >= first && id - first < count; }
};

enum class Detail {
    Full,       // both columns, ids, offsets, pictures and states
    TextsOnly,  // what a user reads: both columns and separators
};

// Both kinds of menu mark mnemonics with "&" (Windows 11's menus read an
// Explorer command's title so too); a menu of Explorer commands has
// positions (MenuNode::id) in their command's list instead of command ids.
enum class MenuKind { Classic, Commands };

// One line per item, submenus indented by two spaces, the two columns of a
// level aligned. Offsets are printed for ids inside `handlerRange`.
std::vector<std::wstring> FormatMenu(const std::vector<MenuNode>& items, Detail detail, IdRange handlerRange,
                                     MenuKind kind = MenuKind::Classic);

// What a menu draws of a text: "&&" as "&", a lone "&" not at all.
std::wstring Displayed(const std::wstring& text);

// The item text's two columns: before and after the first tab.
std::wstring LeftColumn(const std::wstring& text);
std::wstring RightColumn(const std::wstring& text);

// The first submenu (depth first) whose text, as the menu draws it or as
// inserted, is `text` (ignoring letter case); null when there is none.
const MenuNode* FindSubmenu(const std::vector<MenuNode>& items, const std::wstring& text);

// The first command item (depth first) whose whole text, left column or
// right column is `text`, compared as FindSubmenu does; null when none.
const MenuNode* FindItem(const std::vector<MenuNode>& items, const std::wstring& text);

// The position of `target` among the items that keyboard navigation stops on
// (everything but separators), counting from 0; -1 when absent.
int KeyboardIndex(const std::vector<MenuNode>& items, const MenuNode* target);

}  // namespace tessaly::shellhost
