#include "shellext/MenuPictures.h"

#include <cstdint>

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

Bitmap DrawnPicture(HINSTANCE module, unsigned icon, int size, int side, bool dark) {
    const IconOwner image{resources::LoadIconImage(module, icon, size)};
    const std::vector<std::uint32_t> picture = resources::IconPixels(image.handle, size);
    if (picture.empty()) return Bitmap{};

    const BITMAPINFO format = resources::SquareArgbFormat(side);
    void* bits = nullptr;
    Bitmap bitmap{::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!bitmap.valid() || bits == nullptr) return Bitmap{};

    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    const std::uint32_t empty = dark ? 0u : OnColour(0, menu);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const int offset = (side - size) / 2;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int px = x - offset;
            const int py = y - offset;
            std::uint32_t value = empty;
            if (px >= 0 && py >= 0 && px < size && py < size) {
                const std::uint32_t source = picture[static_cast<std::size_t>(py) * size + px];
                value = dark ? Premultiplied(source) : OnColour(source, menu);
            }
            pixels[static_cast<std::size_t>(y) * side + x] = value;
        }
    }
    ::GdiFlush();
    return bitmap;
}

}  // namespace

Bitmap LoadMenuPicture(HINSTANCE module, const MenuPictureIds& ids, int side, bool dark) {
    if (dark) {
        const int size = resources::LargestIconSize(module, ids.darkIcon, side);
        if (size > 0) return DrawnPicture(module, ids.darkIcon, size, side, true);
    }
    const int size = side == kBitmapSide ? 0 : resources::LargestIconSize(module, ids.icon, side);
    if (size > 0) return DrawnPicture(module, ids.icon, size, side, false);
    // 100 %, or a box smaller than any drawn picture: the 16-colour bitmap, as always.
    return Bitmap{static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(ids.bitmap), IMAGE_BITMAP, side, side, LR_LOADMAP3DCOLORS))};
}

}  // namespace tessaly::shellext
