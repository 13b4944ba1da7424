#include "tests/shellext/OptionsSheetDouble.h"

#include "options/ShowOptions.h"

namespace tessaly {

namespace {
int g_shown = 0;
}

void ShowOptionsSheet() { ++g_shown; }

int testing::OptionsSheetShownCount() { return g_shown; }

}  // namespace tessaly
