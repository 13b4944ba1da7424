// The pictures this program carries, as the DLL does (the same compiled
// resource script): the 16-colour bitmaps and the Settings page's icons
// exactly as committed, and the drawn icons as 32-bit images with alpha at
// the sizes each menu shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/resources/CommittedPictureIds.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Resource(unsigned id, const wchar_t* type) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
    return Bytes(data, data + ::SizeofResource(module, found));
}
unsigned Word(const Bytes& bytes, size_t at) { return bytes[at] | (bytes[at + 1] << 8); }
std::uint32_t Dword(const Bytes& bytes, size_t at) { return Word(bytes, at) | (Word(bytes, at + 2) << 16); }
std::uint32_t BigDword(const Bytes& bytes, size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

// One image of an icon resource: its entry in the group and its bytes.
struct IconImage {
    unsigned width;
    Bytes entry;  // width, height, colours, reserved, planes, bits, size (12 bytes, as in a .ico file)
    Bytes data;
};
std::vector<IconImage> IconImages(unsigned group) {
    const Bytes directory = Resource(group, RT_GROUP_ICON);
    std::vector<IconImage> images;
    if (directory.size() < 6) return images;
    for (unsigned i = 0; i < Word(directory, 4); ++i) {
        const size_t at = 6 + 14 * i;
        const Bytes entry(directory.begin() + at, directory.begin() + at + 12);
        images.push_back({directory[at] == 0 ? 256u : directory[at], entry,
                          Resource(Word(directory, at + 12), RT_ICON)});
    }
    return images;
}

TEST(CommittedPictures, BitmapsAndSettingsIconsAreTheCommittedFilesByteForByte) {
    const std::pair<unsigned, unsigned> bitmaps[] = {{IDB_MENU, COMMITTED_MENU},
                                                     {IDB_OPTIONS, COMMITTED_OPTIONS},
                                                     {IDB_MODIFIED, COMMITTED_MODIFIED},
                                                     {IDB_ACCESSED, COMMITTED_ACCESSED}};
    for (const auto& [id, file] : bitmaps) {
        const Bytes committed = Resource(file, RT_RCDATA);
        ASSERT_GT(committed.size(), 14u);
        // A bitmap resource is the file without its 14-byte file header.
        EXPECT_TRUE(Resource(id, RT_BITMAP) == Bytes(committed.begin() + 14, committed.end())) << id;
    }
    for (const auto& [id, file] : {std::pair{IDI_MODIFIED, COMMITTED_MODIFIED_ICON},
                                   std::pair{IDI_ACCESSED, COMMITTED_ACCESSED_ICON}}) {
        const Bytes committed = Resource(file, RT_RCDATA);
        const std::vector<IconImage> images = IconImages(id);
        ASSERT_EQ(images.size(), Word(committed, 4)) << id;
        for (size_t i = 0; i < images.size(); ++i) {
            const size_t entry = 6 + 16 * i;
            const size_t offset = Dword(committed, entry + 12);
            EXPECT_TRUE(images[i].entry == Bytes(committed.begin() + entry, committed.begin() + entry + 12)) << id;
            EXPECT_TRUE(images[i].data == Bytes(committed.begin() + offset,
                                                committed.begin() + offset + Dword(committed, entry + 8)))
                << id;
        }
    }
}

// Windows reads PNG-compressed icon images since Vista: each drawn image is
// a PNG of its entry's size, 8 bits per channel, red, green, blue and alpha.
bool IsRgbaPng(const IconImage& image) {
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const Bytes& png = image.data;
    return png.size() > 33 && std::memcmp(png.data(), signature, 8) == 0 && std::memcmp(&png[12], "IHDR", 4) == 0 &&
           BigDword(png, 16) == image.width && BigDword(png, 20) == image.width && png[24] == 8 && png[25] == 6 &&
           Word(image.entry, 6) == 32;
}

TEST(DrawnIcons, HoldEachMenuSizeAsA32BitImageWithAlpha) {
    const unsigned windows11[] = {IDI_PRODUCT,      IDI_MENU_OPTIONS,      IDI_MENU_MODIFIED,      IDI_MENU_ACCESSED,
                                  IDI_PRODUCT_DARK, IDI_MENU_OPTIONS_DARK, IDI_MENU_MODIFIED_DARK, IDI_MENU_ACCESSED_DARK};
    const unsigned classic[] = {IDI_MENU_OPTIONS,      IDI_MENU_MODIFIED,      IDI_MENU_ACCESSED,      IDI_MENU_ENTRY,
                                IDI_MENU_OPTIONS_DARK, IDI_MENU_MODIFIED_DARK, IDI_MENU_ACCESSED_DARK, IDI_MENU_ENTRY_DARK};
    const auto sizes = [](unsigned id) {
        std::vector<unsigned> found;
        for (const IconImage& image : IconImages(id)) {
            EXPECT_TRUE(IsRgbaPng(image)) << id << " at " << image.width;
            found.push_back(image.width);
        }
        return found;
    };
    const auto holds = [](const std::vector<unsigned>& held, unsigned size) {
        return std::find(held.begin(), held.end(), size) != held.end();
    };
    // Windows 11's menu at 100, 125, 150, 200 and 300 %.
    for (unsigned id : windows11)
        for (unsigned size : {16u, 20u, 24u, 32u, 48u}) EXPECT_TRUE(holds(sizes(id), size)) << id << " at " << size;
    // The classic menu: the check mark of Windows 10 and 11 at 100 % to 300 %.
    for (unsigned id : classic)
        for (unsigned size : {15u, 19u, 23u, 27u, 31u, 39u, 47u}) EXPECT_TRUE(holds(sizes(id), size)) << id << " at " << size;
}

}  // namespace
}  // namespace tessaly
