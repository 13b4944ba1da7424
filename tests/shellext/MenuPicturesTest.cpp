// The menus' pictures at the display's scale, for two DPIs in one process,
// on each kind of menu, and in a dark app mode. Wine reads the display's
// scale (LogPixels) when a process starts, so each scale of the handler
// runs in a child process of this program (tests/support/ScaleChild.h).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/IconImages.h"
#include "resources/ResourceIds.h"
#include "shellext/MenuPictures.h"
#include "tests/shellext/HandlerFixture.h"
#include "tests/support/ScaleChild.h"

namespace tessaly {
namespace {

using testing::HandlerTest;

const wchar_t kChildVariable[] = L"TESSALY_PICTURE_CHILD";
const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

void SetDword(const wchar_t* key, const wchar_t* name, DWORD value) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value), ERROR_SUCCESS);
}
void SetAppMode(bool dark) { SetDword(kPersonalize, L"AppsUseLightTheme", dark ? 0 : 1); }

struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first, when 32 bits a pixel
};
Picture Read(HBITMAP bitmap) {
    Picture picture;
    DIBSECTION section = {};
    if (::GetObjectW(bitmap, sizeof section, &section) == 0) return picture;
    picture.width = section.dsBm.bmWidth;
    picture.height = section.dsBm.bmHeight;
    picture.bitsPerPixel = section.dsBm.bmBitsPixel;
    if (picture.bitsPerPixel == 32 && section.dsBm.bmBits != nullptr) {
        const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
        picture.pixels.assign(bits, bits + static_cast<size_t>(picture.width) * picture.height);
    }
    return picture;
}

// Every picture of a menu built by a new handler: the popup entry's and the submenu items'.
class PicturesTest : public HandlerTest {
protected:
    std::vector<HBITMAP> Pictures() {
        AddFile(L"a.txt");
        EXPECT_EQ(InitializeWithFolder(), S_OK);
        EXPECT_EQ(Build(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 3));
        std::vector<HBITMAP> pictures = {Popup().checked};
        for (const testing::MenuItem& item : SubmenuItems())
            if (!item.IsSeparator()) pictures.push_back(item.checked);
        return pictures;
    }
};

// Runs this program again at `dpi`, for the child case, with Wine's theme on
// or off (read when a program starts); its exit code is the check-mark size
// it saw, 0 when a check failed there.
int ChildAtScale(DWORD dpi, bool themed = false) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive",
                      REG_SZ, themed ? L"1" : L"0", 4);
    return testing::RunSelfAtScale(dpi, L"PicturesTest.AtThisScale", kChildVariable, themed ? L"themed" : L"plain");
}

// The child: every picture is a square of the check-mark size. In a menu
// drawn without a theme (Wine draws every menu so, and copies the bitmap),
// at 13 the 16-colour bitmap (checked against the resource in
// HandlerMenuTest), at any other size an opaque picture on the menu's
// colour. With a theme, a premultiplied picture with nothing around it.
TEST_F(PicturesTest, AtThisScale) {
    wchar_t mode[8] = {};
    if (::GetEnvironmentVariableW(kChildVariable, mode, 8) == 0) GTEST_SKIP() << "run by the scale test";
    const bool themed = std::wstring(mode) == L"themed";
    const int side = ::GetSystemMetrics(SM_CXMENUCHECK);
    const COLORREF menuColour = ::GetSysColor(COLOR_MENU);
    const std::uint32_t menuPixel = 0xFF000000u | (GetRValue(menuColour) << 16) | (GetGValue(menuColour) << 8) |
                                    GetBValue(menuColour);
    for (HBITMAP shown : Pictures()) {
        const Picture picture = Read(shown);
        EXPECT_EQ(picture.width, side);
        EXPECT_EQ(picture.height, side);
        if (side == 13 && !themed) {
            EXPECT_TRUE(picture.pixels.empty()) << "the 16-colour bitmap, loaded as always";
            continue;
        }
        ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(side) * side) << "a 32-bit picture";
        bool emptySomewhere = false;  // where the picture leaves the menu to show
        for (std::uint32_t pixel : picture.pixels) {
            const std::uint32_t alpha = pixel >> 24;
            emptySomewhere = emptySomewhere || pixel == (themed ? 0u : menuPixel);
            if (!themed) {
                ASSERT_EQ(alpha, 255u) << "opaque on the menu's colour";
            }
            for (int shift : {0, 8, 16}) ASSERT_LE((pixel >> shift) & 0xFFu, alpha) << "premultiplied";
        }
        EXPECT_TRUE(emptySomewhere) << "nothing but the menu around the picture";
    }
    if (!HasFailure()) ::ExitProcess(static_cast<UINT>(side));
    ::ExitProcess(0);
}

TEST(PictureScale, TheClassicPicturesFollowTheCheckMarkSizeAtThreeScales) {
    if (testing::IsScaleChild(kChildVariable)) GTEST_SKIP();
    // 100, 150 and 200 %; at 150 % themed too.
    const int at100 = ChildAtScale(96);
    const int at150 = ChildAtScale(144);
    const int at200 = ChildAtScale(192);
    EXPECT_GT(at100, 0);
    EXPECT_GT(at150, at100) << "a larger check mark at 150 %";
    EXPECT_GT(at200, at150) << "a larger check mark at 200 %";
    EXPECT_EQ(ChildAtScale(144, true), at150);
}

std::wstring IconOf(IExplorerCommand* command) {
    wchar_t* location = nullptr;
    if (FAILED(command->GetIcon(nullptr, &location))) return {};
    std::wstring text = location;
    ::CoTaskMemFree(location);
    return text.substr(text.rfind(L','));
}

// Windows 11's first menu is dark in a dark app mode, and the command's icons
// follow it; this program's classic menu is not (only the file manager's
// follows the app mode), and gets the light pictures.
TEST_F(PicturesTest, TheDarkPicturesFollowTheAppMode) {
    for (const bool dark : {true, false}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        SetAppMode(dark);
        const shellhost::CommandTree tree = testing::Ask(shellhost::ClickKind::Background, {folder.Path()});
        ASSERT_FALSE(tree.hidden);
        EXPECT_EQ(IconOf(testing::NewCommand().get()), L",-" + std::to_wstring(dark ? IDI_PRODUCT_DARK : IDI_PRODUCT));
        // The last subcommand is "Options...".
        EXPECT_EQ(IconOf(tree.subcommands.back().get()),
                  L",-" + std::to_wstring(dark ? IDI_MENU_OPTIONS_DARK : IDI_MENU_OPTIONS));
    }
    SetAppMode(true);
    const Picture shown = Read(Pictures().front());
    SetAppMode(false);
    const Picture light = Read(Pictures().front());
    EXPECT_EQ(shown.bitsPerPixel, light.bitsPerPixel);
    EXPECT_TRUE(shown.pixels == light.pixels) << "the light picture";
}

// Which set and ground each kind of menu gets (MenuTheme.h).
TEST(MenuLook, EachMenuGetsTheSetThatReadsOnItAndABoxOnlyWhereItIsTheMenusColour) {
    using shellext::MenuFacts;
    const struct {
        const char* menu;
        MenuFacts facts;  // themed, high contrast, app mode dark, file manager, menu colour dark
        bool darkSet, onMenuColour, darkIcons;
    } rows[] = {
        {"Windows 10/11 light", {true, false, false, true, false}, false, false, false},
        {"Windows 11 dark, the file manager", {true, false, true, true, false}, true, false, true},
        {"Windows 11 dark, another program's dialog", {true, false, true, false, false}, false, false, true},
        {"classic grey", {false, false, false, true, false}, false, true, false},
        {"classic, a dark menu colour", {false, false, true, true, true}, true, true, true},
        {"High Contrast Black", {true, true, false, true, true}, true, true, true},
        {"High Contrast White in a dark app mode", {true, true, true, true, false}, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.menu);
        const shellext::PictureLook look = shellext::ClassicPictureLook(row.facts);
        EXPECT_EQ(look.darkSet, row.darkSet);
        EXPECT_EQ(look.onMenuColour, row.onMenuColour);
        EXPECT_EQ(shellext::CommandIconsDark(row.facts), row.darkIcons);
    }
    // The menu colours of the classic look and of high contrast.
    EXPECT_FALSE(shellext::IsDarkColour(RGB(0xD4, 0xD0, 0xC8)));
    EXPECT_FALSE(shellext::IsDarkColour(RGB(0xFF, 0xFF, 0xFF)));
    EXPECT_TRUE(shellext::IsDarkColour(RGB(0, 0, 0)));
    EXPECT_TRUE(shellext::IsDarkColour(RGB(0x2B, 0x2B, 0x2B)));
}

// Each picture is the one drawn for exactly the check-mark size of the DPI
// asked, pixel for pixel (not the next smaller one in a larger box), for two
// DPIs in one process, with nothing around it where the menu blends it and
// the menu's colour where the menu copies it.
TEST(MenuLook, ThePictureForEachDpiIsTheOneDrawnForExactlyThatSize) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    const std::uint32_t menuPixel = 0xFF000000u | (GetRValue(menu) << 16) | (GetGValue(menu) << 8) | GetBValue(menu);
    const shellext::MenuPictureIds ids{IDB_OPTIONS, IDI_MENU_OPTIONS, IDI_MENU_OPTIONS_DARK};
    const int at96 = shellext::CheckMarkSide(96);
    const int at144 = shellext::CheckMarkSide(144);
    EXPECT_GT(at144, at96) << "one process, two DPIs";
    for (const int side : {at96, at144}) {
        for (const shellext::PictureLook look : {shellext::PictureLook{false, false}, shellext::PictureLook{true, false},
                                                 shellext::PictureLook{true, true}}) {
            SCOPED_TRACE(std::to_string(side) + (look.darkSet ? " dark" : " light") +
                         (look.onMenuColour ? " on the menu's colour" : " blended"));
            const unsigned icon = look.darkSet ? ids.darkIcon : ids.icon;
            const HICON image = resources::LoadIconImage(module, icon, side);
            ASSERT_NE(image, nullptr) << "drawn for exactly this size";
            const std::vector<std::uint32_t> drawn = resources::IconPixels(image, side);
            ::DestroyIcon(image);
            const shellext::Bitmap shown = shellext::LoadMenuPicture(module, ids, side, look);
            const Picture picture = Read(shown.get());
            ASSERT_EQ(picture.pixels.size(), drawn.size());
            size_t empty = 0;
            for (size_t i = 0; i < drawn.size(); ++i) {
                const std::uint32_t alpha = drawn[i] >> 24;
                if (alpha == 0) {
                    ++empty;
                    ASSERT_EQ(picture.pixels[i], look.onMenuColour ? menuPixel : 0u) << "no box at " << i;
                } else if (alpha == 255) {
                    ASSERT_EQ(picture.pixels[i], drawn[i]) << "the drawn pixel at " << i;
                }
            }
            EXPECT_GT(empty, 0u);
        }
    }
}

}  // namespace
}  // namespace tessaly
