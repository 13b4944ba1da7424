#include "tests/shellext/OptionsSheetDouble.h"

#include "options/ShowOptions.h"

namespace tessaly {

namespace {
int g_shown = 0;
HWND g_owner = nullptr;
}  // namespace

void ShowOptionsSheet(HWND owner) {
    ++g_shown;
    g_owner = owner;
}

int testing::OptionsSheetShownCount() { return g_shown; }
HWND testing::OptionsSheetOwner() { return g_owner; }

}  // namespace tessaly
