// Not a test: shows each page of the real sheet in turn and saves what the
// screen shows of the sheet as page-<n>.bmp in the folder given as the first
// argument. tools/options-screenshots.sh runs it under Xvfb and turns the
// pictures into the PNGs of docs/.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/options/SheetDriver.h"

namespace {

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT box{};
    ::GetWindowRect(window, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP picture = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    std::vector<char> pixels(rowBytes * static_cast<DWORD>(height));
    ::GetDIBits(memory, picture, 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: options_screenshots <folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    ::LoadLibraryW(L"riched32.dll");
    int saved = 0;
    tessaly::testing::RunOptionsSheet([&](HWND sheet) {
        tessaly::testing::SheetUser user(sheet);
        for (int page = 0; page < 3; ++page) {
            user.ShowPage(page);
            ::SetCursorPos(0, 0);
            ::Sleep(700);  // let the page paint
            if (SaveWindowPicture(sheet, folder + L"\\page-" + std::to_wstring(page) + L".bmp")) ++saved;
        }
        user.PressCancel();
    });
    return saved == 3 ? 0 : 1;
}
