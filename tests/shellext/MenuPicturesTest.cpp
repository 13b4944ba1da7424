// The menus' pictures at the display's scale and in a dark app mode. Wine
// reads the scale (LogPixels) when a process starts, so each scale runs in a
// child process of this program started after the value is set.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/shellext/HandlerFixture.h"

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
    std::uint8_t Alpha(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] >> 24; }
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

// Runs this program again, at `dpi`, for the child case; its exit code is
// the check-mark size it saw, 0 when a check failed there.
int ChildAtScale(DWORD dpi, bool dark) {
    SetDword(L"Control Panel\\Desktop", L"LogPixels", dpi);
    SetAppMode(dark);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" --gtest_filter=PicturesTest.AtThisScale";
    ::SetEnvironmentVariableW(kChildVariable, dark ? L"dark" : L"light");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    if (!started) return -1;
    DWORD code = 0;
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 0);
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return static_cast<int>(code);
}

// The child: every picture is a square of the check-mark size; at 13 the
// 16-colour bitmap (checked against the resource in HandlerMenuTest), at any
// other size in a light menu an opaque picture on the menu's colour, and in
// a dark menu a premultiplied one on nothing.
TEST_F(PicturesTest, AtThisScale) {
    wchar_t mode[8] = {};
    if (::GetEnvironmentVariableW(kChildVariable, mode, 8) == 0) GTEST_SKIP() << "run by the scale test";
    const bool dark = std::wstring(mode) == L"dark";
    const int side = ::GetSystemMetrics(SM_CXMENUCHECK);
    const COLORREF menuColour = ::GetSysColor(COLOR_MENU);
    const std::uint32_t menuPixel = 0xFF000000u | (GetRValue(menuColour) << 16) | (GetGValue(menuColour) << 8) |
                                    GetBValue(menuColour);
    for (HBITMAP shown : Pictures()) {
        const Picture picture = Read(shown);
        EXPECT_EQ(picture.width, side);
        EXPECT_EQ(picture.height, side);
        if (!dark && side == 13) {
            EXPECT_TRUE(picture.pixels.empty()) << "the 16-colour bitmap, loaded as always";
            continue;
        }
        ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(side) * side) << "a 32-bit picture";
        bool opaqueSomewhere = false;
        bool emptySomewhere = false;  // where the picture leaves the menu to show
        for (std::uint32_t pixel : picture.pixels) {
            const std::uint32_t alpha = pixel >> 24;
            opaqueSomewhere = opaqueSomewhere || alpha == 255;
            emptySomewhere = emptySomewhere || (dark ? alpha == 0 : pixel == menuPixel);
            if (!dark) {
                ASSERT_EQ(alpha, 255u) << "light pictures are opaque";
            }
            for (int shift : {0, 8, 16}) ASSERT_LE((pixel >> shift) & 0xFFu, alpha) << "premultiplied";
        }
        EXPECT_TRUE(opaqueSomewhere);
        EXPECT_TRUE(emptySomewhere) << (dark ? "transparent" : "the menu's colour") << " around the picture";
    }
    if (!HasFailure()) ::ExitProcess(static_cast<UINT>(side));
    ::ExitProcess(0);
}

TEST(PictureScale, TheClassicPicturesFollowTheCheckMarkSizeAtThreeScales) {
    if (::GetEnvironmentVariableW(kChildVariable, nullptr, 0) != 0) GTEST_SKIP();
    // 100, 150 and 200 %, light; 150 % dark too.
    const int at100 = ChildAtScale(96, false);
    const int at150 = ChildAtScale(144, false);
    const int at200 = ChildAtScale(192, false);
    EXPECT_GT(at100, 0);
    EXPECT_GT(at150, at100) << "a larger check mark at 150 %";
    EXPECT_GT(at200, at150) << "a larger check mark at 200 %";
    EXPECT_EQ(ChildAtScale(144, true), at150);
    SetDword(L"Control Panel\\Desktop", L"LogPixels", 96);
    SetAppMode(false);
}

std::wstring IconOf(IExplorerCommand* command) {
    wchar_t* location = nullptr;
    if (FAILED(command->GetIcon(nullptr, &location))) return {};
    std::wstring text = location;
    ::CoTaskMemFree(location);
    return text.substr(text.rfind(L','));
}

// Windows 10 and 11 draw the menus dark in a dark app mode: the classic
// pictures and the Explorer command's icons follow it.
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
    const Picture dark = Read(Pictures().front());
    ASSERT_FALSE(dark.pixels.empty()) << "a 32-bit picture with alpha, also at 13";
    EXPECT_EQ(dark.Alpha(0, 0), 0) << "the stopwatch leaves its corners empty";
    SetAppMode(false);
}

}  // namespace
}  // namespace tessaly
