#include "resources/IconImages.h"

#include <algorithm>

namespace tessaly::resources {

namespace {

// An icon group resource: a 6-byte header (reserved, type, count), then one
// 14-byte entry per image whose first byte is its width (0 for 256).
constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;

struct GdiObject {
    HGDIOBJ handle;
    ~GdiObject() {
        if (handle != nullptr) ::DeleteObject(handle);
    }
};

}  // namespace

std::vector<int> IconSizes(HMODULE module, unsigned id) {
    std::vector<int> sizes;
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    if (found == nullptr) return sizes;
    const DWORD length = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    if (bytes == nullptr || length < kGroupHeader) return sizes;
    const std::size_t count = bytes[4] | (bytes[5] << 8);
    for (std::size_t i = 0; i < count && kGroupHeader + (i + 1) * kGroupEntry <= length; ++i) {
        const int width = bytes[kGroupHeader + i * kGroupEntry];
        sizes.push_back(width == 0 ? 256 : width);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

int LargestIconSize(HMODULE module, unsigned id, int limit) {
    int best = 0;
    for (int size : IconSizes(module, id))
        if (size <= limit) best = size;
    return best;
}

HICON LoadIconImage(HMODULE module, unsigned id, int size) {
    return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

BITMAPINFO SquareArgbFormat(int side) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = side;
    format.bmiHeader.biHeight = -side;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int side) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    BITMAPINFO format = SquareArgbFormat(side);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, side, pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || rows != side) pixels.clear();
    return pixels;
}

std::vector<std::uint32_t> IconPixels(HICON icon, int size) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return {};
    const GdiObject colour{info.hbmColor};
    const GdiObject mask{info.hbmMask};
    return BitmapPixels(info.hbmColor, size);
}

}  // namespace tessaly::resources
