#include "shellext/MenuPictures.h"

#include <cstdint>

#include "platform/win/SystemLibrary.h"
#include "resources/IconImages.h"

namespace tessaly::shellext {

namespace {

constexpr int kBitmapSide = 13;

struct IconOwner {
    HICON handle;
    ~IconOwner() {
        if (handle != nullptr) ::DestroyIcon(handle);
    }
};

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

// The picture laid on the menu's colour, opaque.
std::uint32_t OnColour(std::uint32_t pixel, COLORREF colour) {
    const std::uint32_t alpha = Channel(pixel, 24);
    const auto mix = [&](int shift, std::uint32_t under) {
        return (Channel(pixel, shift) * alpha + under * (255 - alpha) + 127) / 255 << shift;
    };
    return 0xFF000000u | mix(16, GetRValue(colour)) | mix(8, GetGValue(colour)) | mix(0, GetBValue(colour));
}

// The picture as a premultiplied pixel, as AlphaBlend takes it.
std::uint32_t Premultiplied(std::uint32_t pixel) {
    const std::uint32_t alpha = Channel(pixel, 24);
    const auto scale = [&](int shift) { return (Channel(pixel, shift) * alpha + 127) / 255 << shift; };
    return (alpha << 24) | scale(16) | scale(8) | scale(0);
}

Bitmap DrawnPicture(HINSTANCE module, unsigned icon, int size, int side, bool onMenuColour) {
    const IconOwner image{resources::LoadIconImage(module, icon, size)};
    const std::vector<std::uint32_t> picture = resources::IconPixels(image.handle, size);
    if (picture.empty()) return Bitmap{};

    const BITMAPINFO format = resources::SquareArgbFormat(side);
    void* bits = nullptr;
    Bitmap bitmap{::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!bitmap.valid() || bits == nullptr) return Bitmap{};

    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    const std::uint32_t empty = onMenuColour ? OnColour(0, menu) : 0u;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const int offset = (side - size) / 2;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int px = x - offset;
            const int py = y - offset;
            std::uint32_t value = empty;
            if (px >= 0 && py >= 0 && px < size && py < size) {
                const std::uint32_t source = picture[static_cast<std::size_t>(py) * size + px];
                value = onMenuColour ? OnColour(source, menu) : Premultiplied(source);
            }
            pixels[static_cast<std::size_t>(y) * side + x] = value;
        }
    }
    ::GdiFlush();
    return bitmap;
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
    // 100 % in a menu without a theme: the 16-colour bitmap, as always.
    const bool classicBitmap = !look.darkSet && look.onMenuColour && side == kBitmapSide;
    const unsigned icon = look.darkSet ? ids.darkIcon : ids.icon;
    const int size = classicBitmap ? 0 : resources::LargestIconSize(module, icon, side);
    if (size > 0) return DrawnPicture(module, icon, size, side, look.onMenuColour);
    // Or a box smaller than any drawn picture.
    return Bitmap{static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(ids.bitmap), IMAGE_BITMAP, side, side, LR_LOADMAP3DCOLORS))};
}

}  // namespace tessaly::shellext
