// 1,000 context menus, each with a handler of its own, leave the process's
// GDI and USER objects and the module lock count where they were.
#include <cstdio>

#include "tests/shellext/HandlerFixture.h"
#include "tests/support/GuiObjects.h"

namespace tessaly {
namespace {

using testing::HandlerTest;

TEST_F(HandlerTest, ThousandMenusLeaveNoHandlesAndNoModuleLock) {
    AddFile(L"a.txt");
    AddFile(L"b.txt");
    // One menu from creation to release.
    const auto oneMenu = [this] {
        testing::ComRef<IShellExtInit> init = testing::NewHandler();
        const testing::ItemList list(folder.Path());
        ASSERT_EQ(init->Initialize(list.get(), nullptr, nullptr), S_OK);
        testing::PopupMenu shell;
        ASSERT_EQ(testing::ContextMenuOf(init.get())->QueryContextMenu(shell.get(), 0, 1, 1000, CMF_NORMAL),
                  MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
    };
    oneMenu();  // the first one loads what stays loaded (the rich edit library)
    const testing::GuiObjects before = testing::GuiObjects::Now();
    const long locksBefore = testing::ModuleLockCount();
    for (int i = 0; i < 1000; ++i) {
        oneMenu();
        if (HasFailure()) return;
    }
    const testing::GuiObjects after = testing::GuiObjects::Now();
    // A picture or submenu left per menu would add a thousand.
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(testing::ModuleLockCount(), locksBefore);
    std::printf("after 1,000 menus: GDI objects %u -> %u, USER objects %u -> %u, module locks %ld\n", before.gdi,
                after.gdi, before.user, after.user, testing::ModuleLockCount());
}

}  // namespace
}  // namespace tessaly
