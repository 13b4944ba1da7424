// The string table is part of the program that holds the settings code, and
// its entries load by id.
#include <gtest/gtest.h>

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace tessaly {
namespace {

TEST(StringTableTest, EntriesLoadByIdAndUnknownIdsAreEmpty) {
    EXPECT_EQ(resources::LoadText(IDS_APP_NAME), L"Tessaly");
    EXPECT_EQ(resources::LoadText(IDS_WEB_URL), L"https://www.quenbridge.example/tessaly/");
    EXPECT_EQ(resources::LoadText(IDS_WEB_HOST), L"www.quenbridge.example");
    EXPECT_EQ(resources::LoadText(100), L"");
    EXPECT_EQ(resources::LoadText(104), L"");
}

}  // namespace
}  // namespace tessaly
