#include "shellext/MenuPictures.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win/SystemLibrary.h"
#include "resources/IconImages.h"

namespace tessaly::shellext {

namespace {

constexpr int kBitmapSide = 13;
// The 16-colour bitmaps' background, which their menu shows through.
constexpr std::uint32_t kBitmapGround = 0xC0C0C0;
// How dark a pixel must be to be ink: a one-pixel line drawn across two
// pixels covers each about half, so both stay and a slanted line or a curve
// stays joined; the pages' very light grey (a quarter dark) stays clear.
constexpr double kInk = 1.0 / 3;

struct IconOwner {
    HICON handle;
    ~IconOwner() {
        if (handle != nullptr) ::DestroyIcon(handle);
    }
};

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

bool IsInk(std::uint32_t pixel) {
    const COLORREF colour = RGB(Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0));
    return Channel(pixel, 24) / 255.0 * (1.0 - Luminance(colour)) >= kInk;
}

// The picture as a premultiplied pixel, as AlphaBlend takes it.
std::uint32_t Premultiplied(std::uint32_t pixel) {
    const std::uint32_t alpha = Channel(pixel, 24);
    const auto scale = [&](int shift) { return (Channel(pixel, shift) * alpha + 127) / 255 << shift; };
    return (alpha << 24) | scale(16) | scale(8) | scale(0);
}

// The picture `size` pixels square in the middle of a square of `side`
// pixels, nothing around it; empty when there is no picture.
std::vector<std::uint32_t> Centred(const std::vector<std::uint32_t>& picture, int size, int side) {
    std::vector<std::uint32_t> square;
    if (picture.empty()) return square;
    square.resize(static_cast<std::size_t>(side) * side);
    const int offset = (side - size) / 2;
    for (int y = 0; y < size; ++y)
        std::copy_n(picture.begin() + static_cast<std::ptrdiff_t>(y) * size, size,
                    square.begin() + static_cast<std::ptrdiff_t>(y + offset) * side + offset);
    return square;
}

std::vector<std::uint32_t> DrawnPicture(HINSTANCE module, unsigned icon, int size, int side) {
    const IconOwner image{resources::LoadIconImage(module, icon, size)};
    return Centred(resources::IconPixels(image.handle, size), size, side);
}

// The 16-colour bitmap at `side` pixels, its background clear.
std::vector<std::uint32_t> BitmapPicture(HINSTANCE module, int id, int side) {
    const Bitmap bitmap{static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, side, side, LR_CREATEDIBSECTION))};
    std::vector<std::uint32_t> pixels = resources::BitmapPixels(bitmap.get(), side);
    for (std::uint32_t& pixel : pixels) pixel = (pixel & 0xFFFFFFu) == kBitmapGround ? 0u : pixel | 0xFF000000u;
    return pixels;
}

// The picture to be blended by alpha.
Bitmap Blended(const std::vector<std::uint32_t>& picture, int side) {
    const BITMAPINFO format = resources::SquareArgbFormat(side);
    void* bits = nullptr;
    Bitmap bitmap{::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!bitmap.valid() || bits == nullptr) return Bitmap{};
    std::transform(picture.begin(), picture.end(), static_cast<std::uint32_t*>(bits), Premultiplied);
    ::GdiFlush();
    return bitmap;
}

// The picture's ink as the black (0) bits of a monochrome bitmap, the rest
// white: a device-dependent one, which GDI draws onto colour in the text
// colour (0) and the background colour (1) the menu sets for the item.
Bitmap Monochrome(const std::vector<std::uint32_t>& picture, int side) {
    const std::size_t stride = (side + 15) / 16 * 2;  // each row whole 16-bit words
    std::vector<BYTE> bits(stride * side, 0xFF);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (IsInk(picture[static_cast<std::size_t>(y) * side + x]))
                bits[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    return Bitmap{::CreateBitmap(side, side, 1, 1, bits.data())};
}

// A function of user32 or shcore that older Windows lacks, looked up by name.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = ::GetModuleHandleW(library);
    if (module == nullptr) module = platform::LoadSystemLibrary(library);  // kept for the process's life
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

UINT MenuDpi() {
    // Spelled here: the headers of older SDKs lack them.
    using ThreadContext = HANDLE(WINAPI*)();
    using Awareness = int(WINAPI*)(HANDLE);
    using MonitorDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
    constexpr int kEffectiveDpi = 0;     // MDT_EFFECTIVE_DPI
    const auto context = SystemFunction<ThreadContext>(L"user32.dll", "GetThreadDpiAwarenessContext");
    const auto awareness = SystemFunction<Awareness>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    const auto monitorDpi = SystemFunction<MonitorDpi>(L"shcore.dll", "GetDpiForMonitor");
    // A program that is not per-monitor aware gets its menus scaled by the
    // system from its own DPI: the process's metrics are the right ones.
    if (context == nullptr || awareness == nullptr || monitorDpi == nullptr ||
        awareness(context()) != kPerMonitorAware)
        return 0;
    const DWORD position = ::GetMessagePos();
    const POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    UINT x = 0;
    UINT y = 0;
    if (FAILED(monitorDpi(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y))) return 0;
    return x;
}

int CheckMarkSide(UINT dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    const auto forDpi = dpi == 0 ? nullptr : SystemFunction<ForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(SM_CXMENUCHECK, dpi) : ::GetSystemMetrics(SM_CXMENUCHECK);
}

Bitmap LoadMenuPicture(HINSTANCE module, const MenuPictureIds& ids, int side, const PictureLook& look) {
    const unsigned icon = look.darkSet ? ids.darkIcon : ids.icon;
    // 13 pixels without a theme: the 16-colour bitmap's shape, as always.
    const int size = look.monochrome && side == kBitmapSide ? 0 : resources::LargestIconSize(module, icon, side);
    if (size == 0 && !look.monochrome)  // a box smaller than any drawn picture
        return Bitmap{static_cast<HBITMAP>(
            ::LoadImageW(module, MAKEINTRESOURCEW(ids.bitmap), IMAGE_BITMAP, side, side, LR_LOADMAP3DCOLORS))};
    const std::vector<std::uint32_t> picture =
        size > 0 ? DrawnPicture(module, icon, size, side) : BitmapPicture(module, ids.bitmap, side);
    if (picture.empty()) return Bitmap{};
    return look.monochrome ? Monochrome(picture, side) : Blended(picture, side);
}

}  // namespace tessaly::shellext
