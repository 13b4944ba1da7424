// 1,000 context menus, each with a handler of its own, leave the process's
// GDI and USER objects and the module lock count where they were.
#include <cstdio>

#include "tests/shellext/HandlerFixture.h"

namespace tessaly {
namespace {

using testing::HandlerTest;

TEST_F(HandlerTest, ThousandMenusLeaveNoHandlesAndNoModuleLock) {
    AddFile(L"a.txt");
    AddFile(L"b.txt");
    // One menu from creation to release; every picture and the submenu it
    // handed out must be gone afterwards.
    const auto oneMenu = [this] {
        std::vector<HBITMAP> pictures;
        HMENU submenu = nullptr;
        {
            testing::ComRef<IShellExtInit> init = testing::NewHandler();
            const testing::ItemList list(folder.Path());
            ASSERT_EQ(init->Initialize(list.get(), nullptr, nullptr), S_OK);
            testing::PopupMenu shell;
            ASSERT_EQ(testing::ContextMenuOf(init.get())->QueryContextMenu(shell.get(), 0, 1, 1000, CMF_NORMAL),
                      MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
            const testing::MenuItem popup = testing::ReadMenu(shell.get()).at(0);
            submenu = popup.submenu;
            pictures.push_back(popup.checked);
            for (const testing::MenuItem& item : testing::ReadMenu(submenu))
                if (!item.IsSeparator()) pictures.push_back(item.checked);
        }
        EXPECT_FALSE(::IsMenu(submenu));
        for (HBITMAP picture : pictures) {
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(::GetObjectType(picture), 0u);
        }
    };
    oneMenu();  // the first one loads what stays loaded (the rich edit library)
    const HANDLE process = ::GetCurrentProcess();
    const DWORD gdiBefore = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD userBefore = ::GetGuiResources(process, GR_USEROBJECTS);
    const long locksBefore = testing::ModuleLockCount();
    for (int i = 0; i < 1000; ++i) {
        oneMenu();
        if (HasFailure()) return;
    }
    // Wine answers 0 for both counts; Windows counts for real.
    EXPECT_EQ(::GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(::GetGuiResources(process, GR_USEROBJECTS), userBefore);
    EXPECT_EQ(testing::ModuleLockCount(), locksBefore);
    std::printf("after 1,000 menus: GDI objects %lu, USER objects %lu (GetGuiResources), module locks %ld\n",
                ::GetGuiResources(process, GR_GDIOBJECTS), ::GetGuiResources(process, GR_USEROBJECTS),
                testing::ModuleLockCount());
}

}  // namespace
}  // namespace tessaly
