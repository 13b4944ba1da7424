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
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first; a monochrome one's 0xFF000000 or 0xFFFFFFFF
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
    } else if (picture.width == picture.height) {  // a monochrome or a 16-colour one, read at 32 bits
        picture.pixels = resources::BitmapPixels(bitmap, picture.width);
        for (std::uint32_t& pixel : picture.pixels) pixel |= 0xFF000000u;
    }
    return picture;
}
constexpr std::uint32_t kInk = 0xFF000000u, kClear = 0xFFFFFFFFu;

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
// drawn without a theme (Wine draws every menu so), a monochrome bitmap,
// whose ink the menu draws in the item's text colour and the rest in the
// item's own: no box on the menu or on the highlight. With a theme, a
// premultiplied picture with nothing around it.
TEST_F(PicturesTest, AtThisScale) {
    wchar_t mode[8] = {};
    if (::GetEnvironmentVariableW(kChildVariable, mode, 8) == 0) GTEST_SKIP() << "run by the scale test";
    const bool themed = std::wstring(mode) == L"themed";
    const int side = ::GetSystemMetrics(SM_CXMENUCHECK);
    for (HBITMAP shown : Pictures()) {
        const Picture picture = Read(shown);
        EXPECT_EQ(picture.width, side);
        EXPECT_EQ(picture.height, side);
        EXPECT_EQ(picture.bitsPerPixel, themed ? 32 : 1);
        ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(side) * side);
        size_t empty = 0, ink = 0;  // where the menu shows, and the picture's marks
        for (std::uint32_t pixel : picture.pixels) {
            const std::uint32_t alpha = pixel >> 24;
            empty += pixel == (themed ? 0u : kClear);
            ink += themed ? alpha == 255 : pixel == kInk;
            for (int shift : {0, 8, 16}) ASSERT_LE((pixel >> shift) & 0xFFu, alpha) << "premultiplied";
        }
        EXPECT_GT(empty, 0u) << "nothing but the menu around the picture";
        EXPECT_GT(ink * 8, picture.pixels.size()) << "its outlines and marks";
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
        bool darkSet, monochrome, darkIcons;
    } rows[] = {
        {"Windows 10/11 light", {true, false, false, true, false}, false, false, false},
        {"Windows 11 dark, the file manager", {true, false, true, true, false}, true, false, true},
        {"Windows 11 dark, another program's dialog", {true, false, true, false, false}, false, false, true},
        {"classic grey", {false, false, false, true, false}, false, true, false},
        {"classic, a dark menu colour", {false, false, true, true, true}, false, true, true},
        {"High Contrast Black", {true, true, false, true, true}, false, true, true},
        {"High Contrast White in a dark app mode", {true, true, true, true, false}, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.menu);
        const shellext::PictureLook look = shellext::ClassicPictureLook(row.facts);
        EXPECT_EQ(look.darkSet, row.darkSet);
        EXPECT_EQ(look.monochrome, row.monochrome);
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
// DPIs in one process, with nothing around it where the menu blends it; in a
// menu without a theme its ink (at 13 pixels the 16-colour bitmap's, which
// HandlerMenuTest checks).
TEST(MenuLook, ThePictureForEachDpiIsTheOneDrawnForExactlyThatSize) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const shellext::MenuPictureIds ids{IDB_OPTIONS, IDI_MENU_OPTIONS, IDI_MENU_OPTIONS_DARK};
    const int at96 = shellext::CheckMarkSide(96);
    const int at144 = shellext::CheckMarkSide(144);
    EXPECT_GT(at144, at96) << "one process, two DPIs";
    for (const int side : {at96, at144}) {
        for (const shellext::PictureLook look : {shellext::PictureLook{false, false}, shellext::PictureLook{true, false},
                                                 shellext::PictureLook{false, true}}) {
            if (look.monochrome && side == 13) continue;
            SCOPED_TRACE(std::to_string(side) + (look.darkSet ? " dark" : " light") +
                         (look.monochrome ? " monochrome" : " blended"));
            const HICON image = resources::LoadIconImage(module, look.darkSet ? ids.darkIcon : ids.icon, side);
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
                    ASSERT_EQ(picture.pixels[i], look.monochrome ? kClear : 0u) << "no box at " << i;
                } else if (alpha == 255 && (!look.monochrome || drawn[i] == 0xFF000000u)) {
                    ASSERT_EQ(picture.pixels[i], look.monochrome ? kInk : drawn[i]) << "drawn, or ink, at " << i;
                }
            }
            EXPECT_GT(empty, 0u);
        }
    }
}

}  // namespace
}  // namespace tessaly
