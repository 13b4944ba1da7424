#pragma once
// The images of one of our icons by size: which sizes it holds, and one image
// loaded at exactly its drawn size, so that no picture is ever scaled.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace tessaly::resources {

// The sizes (square, in pixels) of icon `id`'s images, smallest first; empty
// when the module holds no such icon.
std::vector<int> IconSizes(HMODULE module, unsigned id);

// The largest of those sizes that is not above `limit`; 0 when none is.
int LargestIconSize(HMODULE module, unsigned id, int limit);

// Icon `id`'s image of exactly `size` pixels (a size IconSizes lists); null
// when it cannot be loaded. The caller destroys it.
HICON LoadIconImage(HMODULE module, unsigned id, int size);

// The format of a square 32-bit bitmap of `side` pixels, top row first, as
// IconPixels reads them.
BITMAPINFO SquareArgbFormat(int side);

// A square bitmap's pixels read at 32 bits (SquareArgbFormat), side * side
// of them; empty when they cannot be read.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int side);

// The image's pixels as 0xAARRGGBB, straight (not premultiplied) alpha, top
// row first, size * size of them; empty when they cannot be read.
std::vector<std::uint32_t> IconPixels(HICON icon, int size);

}  // namespace tessaly::resources
