// QueryContextMenu into a real menu, read back with GetMenuItemInfoW.
#include <cstdint>
#include <utility>
#include <vector>

#include "resources/IconImages.h"
#include "resources/ResourceIds.h"
#include "tests/shellext/HandlerFixture.h"

namespace tessaly {
namespace {

using testing::HandlerTest;
using testing::MenuItem;

const std::wstring kQueryContextMenuLine = L"Tessaly: Exception in CTessalyShExt::QueryContextMenu: ";

// A picture's pixels as 0xRRGGBB, top row first.
std::vector<std::uint32_t> Pixels(HBITMAP picture) {
    std::vector<std::uint32_t> pixels = resources::BitmapPixels(picture, ::GetSystemMetrics(SM_CXMENUCHECK));
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFFu;
    return pixels;
}
// A picture as the handler should load it for a menu drawn without a theme,
// as Wine draws every menu: the resource's outlines and marks black, its
// grey ground and its light fills (white, the page's very light grey) white.
std::vector<std::uint32_t> ResourcePixels(int id) {
    const int side = ::GetSystemMetrics(SM_CXMENUCHECK);
    const auto picture = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, side, side, LR_CREATEDIBSECTION));
    std::vector<std::uint32_t> pixels = Pixels(picture);
    ::DeleteObject(picture);
    for (std::uint32_t& pixel : pixels)
        pixel = pixel == 0xC0C0C0u || pixel == 0xE0E0E0u || pixel == 0xFFFFFFu ? 0xFFFFFFu : 0u;
    return pixels;
}

TEST_F(HandlerTest, BuildsOnePopupEntryWithBothListsSeparatorsAndOptions) {
    AddFile(L"a.txt", 10, 30);  // accessed order a, b, c; written order c, b, a
    AddFile(L"b.txt", 20, 20);
    AddFile(L"c.txt", 30, 10);
    ASSERT_EQ(InitializeWithFolder(), S_OK);
    EXPECT_EQ(Build(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 7));

    const std::vector<MenuItem> shellItems = testing::ReadMenu(shellMenu.get());
    ASSERT_EQ(shellItems.size(), 2u) << "one entry added, nothing around it";
    const MenuItem popup = shellItems[0];
    EXPECT_EQ(popup.text, L"Tessaly");
    ASSERT_NE(popup.submenu, nullptr);
    EXPECT_EQ(popup.checked, popup.unchecked);

    const std::vector<MenuItem> items = SubmenuItems();
    ASSERT_EQ(items.size(), 9u);
    const struct {
        const wchar_t* name;  // null: a separator
        UINT offset;
    } expected[] = {{L"a.txt", 0}, {L"b.txt", 1}, {L"c.txt", 2}, {nullptr, 0},      {L"c.txt", 3},
                    {L"b.txt", 4}, {L"a.txt", 5}, {nullptr, 0},  {L"Options...", 6}};
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        if (expected[i].name == nullptr) {
            EXPECT_TRUE(items[i].IsSeparator());
            continue;
        }
        EXPECT_EQ(items[i].id, kFirstId + expected[i].offset);
        if (i == 8)
            EXPECT_EQ(items[i].text, L"Options...");
        else
            EXPECT_EQ(items[i].text.substr(items[i].text.find(L'\t')), std::wstring(L"\t") + expected[i].name);
        EXPECT_EQ(items[i].checked, items[i].unchecked);
    }
    // Each item carries its own picture, at check-mark size from the module
    // that holds the code (this program carries them under a name of its own).
    const std::pair<HBITMAP, int> pictures[] = {{popup.checked, IDB_MENU},    {items[0].checked, IDB_ACCESSED},
                                                {items[2].checked, IDB_ACCESSED}, {items[4].checked, IDB_MODIFIED},
                                                {items[6].checked, IDB_MODIFIED}, {items[8].checked, IDB_OPTIONS}};
    for (const auto& [shown, id] : pictures) EXPECT_TRUE(Pixels(shown) == ResourcePixels(id)) << "picture " << id;
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(HandlerTest, DefaultOnlyAddsNothing) {
    ASSERT_EQ(InitializeWithFolder(), S_OK);
    EXPECT_EQ(Build(1000, CMF_DEFAULTONLY), S_OK);
    EXPECT_EQ(::GetMenuItemCount(shellMenu.get()), 1);
}

TEST_F(HandlerTest, TooSmallIdRangeFailsWithOneDebugLineAndAddsNothing) {
    AddFile(L"a.txt");
    AddFile(L"b.txt");
    ASSERT_EQ(InitializeWithFolder(), S_OK);
    EXPECT_EQ(Build(20), E_FAIL);
    EXPECT_EQ(::GetMenuItemCount(shellMenu.get()), 1);
    EXPECT_EQ(debug.Lines(), (std::vector<std::wstring>{kQueryContextMenuLine + L"Too few command IDs allocated"}));
    EXPECT_EQ(Build(21), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
}

TEST_F(HandlerTest, PopupThatCannotBeInsertedFailsWithoutADebugLineOrALeftOverSubmenu) {
    ASSERT_EQ(InitializeWithFolder(), S_OK);
    const HMENU gone = ::CreatePopupMenu();
    ::DestroyMenu(gone);
    // Wine hands out the most recently freed USER handle slot first: when
    // the submenu of the failed build is destroyed, the next menu takes the
    // same slot as the one freed just before the build.
    const HMENU freedSlot = ::CreateMenu();
    ::DestroyMenu(freedSlot);
    EXPECT_EQ(menu->QueryContextMenu(gone, 0, kFirstId, kFirstId + 100, CMF_NORMAL), E_FAIL);
    const HMENU next = ::CreateMenu();
    EXPECT_EQ(LOWORD(reinterpret_cast<UINT_PTR>(next)), LOWORD(reinterpret_cast<UINT_PTR>(freedSlot)))
        << "the submenu of the failed build was left behind";
    ::DestroyMenu(next);
    EXPECT_TRUE(debug.Lines().empty());
}

}  // namespace
}  // namespace tessaly
