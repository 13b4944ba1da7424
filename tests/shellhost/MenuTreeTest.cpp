#include "tools/shellhost/MenuTree.h"

#include <gtest/gtest.h>

namespace tessaly::shellhost {
namespace {

MenuNode Item(std::wstring text, std::uint32_t id, bool picture = false) {
    MenuNode node;
    node.text = std::move(text);
    node.id = id;
    node.hasPicture = picture;
    return node;
}
MenuNode Separator() {
    MenuNode node;
    node.separator = true;
    return node;
}
MenuNode Submenu(std::wstring text, std::vector<MenuNode> children) {
    MenuNode node;
    node.text = std::move(text);
    node.isSubmenu = true;
    node.hasPicture = true;
    node.children = std::move(children);
    return node;
}

// The shape a handler like ours leaves: a popup with two file items of
// different widths, a separator and a last plain item.
std::vector<MenuNode> SampleMenu() {
    return {Item(L"Open", 7),
            Submenu(L"Tessaly", {Item(L"* 07.12.2026 09:12\tR&&D 100%.txt", 100, true),
                                 Item(L"01.01.2025 10:00 (Last year)\ta.txt", 101, true), Separator(),
                                 Item(L"Options...", 102, true)})};
}

TEST(FormatMenu, FullDetailAlignsColumnsAndNamesIdsOffsetsAndPictures) {
    const std::vector<std::wstring> expected = {
        L"Open       [id 7]",
        L"Tessaly >  [submenu, picture]",
        L"  * 07.12.2026 09:12            R&&D 100%.txt  [id 100, offset 0, picture]",
        L"  01.01.2025 10:00 (Last year)  a.txt          [id 101, offset 1, picture]",
        L"  -------------------------------------------",
        L"  Options...                                   [id 102, offset 2, picture]",
    };
    EXPECT_EQ(FormatMenu(SampleMenu(), Detail::Full, IdRange{100, 3}), expected);
}

TEST(FormatMenu, TextsOnlyShowsWhatTheMenuDraws) {
    const std::vector<std::wstring> expected = {
        L"Open",
        L"Tessaly >",
        L"  * 07.12.2026 09:12            R&D 100%.txt",
        L"  01.01.2025 10:00 (Last year)  a.txt",
        L"  ------------------------------------------",
        L"  Options...",
    };
    EXPECT_EQ(FormatMenu(SampleMenu(), Detail::TextsOnly, IdRange{}), expected);
}

TEST(FormatMenu, LoneAmpersandOnlyUnderlinesInTheTextsAUserReads) {
    const std::vector<MenuNode> menu = {Item(L"&Open\tA&B", 1)};
    EXPECT_EQ(FormatMenu(menu, Detail::TextsOnly, IdRange{}), std::vector<std::wstring>{L"Open  AB"});
}

TEST(FormatMenu, CommandsShowTheirTitlesAsDrawnWithTheirPositions) {
    const std::vector<MenuNode> commands = {
        Submenu(L"Tessaly", {Item(L"* 07.12.2026 09:12 \u2014 R&&D.txt", 0, true), Separator(), Item(L"Options...", 2)})};
    for (const Detail detail : {Detail::Full, Detail::TextsOnly}) {
        const std::vector<std::wstring> lines = FormatMenu(commands, detail, IdRange{}, MenuKind::Commands);
        ASSERT_EQ(lines.size(), 4u);
        const wchar_t* title = detail == Detail::Full ? L"  * 07.12.2026 09:12 \u2014 R&&D.txt" : L"  * 07.12.2026 09:12 \u2014 R&D.txt";
        EXPECT_EQ(lines[1].rfind(title, 0), 0u) << lines[1];
        EXPECT_EQ(lines[3].find(L"[position 2]") != std::wstring::npos, detail == Detail::Full) << lines[3];
    }
}

TEST(FormatMenu, IdsOutsideTheHandlersRangeHaveNoOffset) {
    const std::vector<MenuNode> menu = {Item(L"Before", 99), Item(L"Last", 103)};
    EXPECT_EQ(FormatMenu(menu, Detail::Full, IdRange{100, 3}),
              (std::vector<std::wstring>{L"Before  [id 99]", L"Last    [id 103]"}));
}

TEST(FindInMenu, MatchesEitherColumnOrTheWholeTextIgnoringCaseAndAccelerators) {
    const std::vector<MenuNode> menu = SampleMenu();
    struct Case {
        const wchar_t* text;
        std::uint32_t id;
    } cases[] = {{L"options...", 102}, {L"R&D 100%.txt", 100}, {L"01.01.2025 10:00 (Last year)", 101},
                 {L"01.01.2025 10:00 (Last year)\ta.txt", 101}, {L"open", 7}};
    for (const Case& c : cases) {
        const MenuNode* found = FindItem(menu, c.text);
        ASSERT_NE(found, nullptr) << c.text;
        EXPECT_EQ(found->id, c.id) << c.text;
    }
    EXPECT_EQ(FindItem(menu, L"Tessaly"), nullptr);  // a submenu is no command
    EXPECT_EQ(FindItem(menu, L"missing.txt"), nullptr);
}

TEST(FindInMenu, SubmenuAndItsKeyboardPositionSkipSeparators) {
    std::vector<MenuNode> menu = {Item(L"Open", 1), Separator(), Item(L"Print", 2),
                                  Submenu(L"&Tessaly", {Item(L"Options...", 3)})};
    const MenuNode* submenu = FindSubmenu(menu, L"tessaly");
    ASSERT_EQ(submenu, &menu[3]);
    EXPECT_EQ(KeyboardIndex(menu, submenu), 2);
    EXPECT_EQ(KeyboardIndex(menu, &menu[3].children[0]), -1);
    EXPECT_EQ(FindSubmenu(menu, L"Options..."), nullptr);
}

}  // namespace
}  // namespace tessaly::shellhost
