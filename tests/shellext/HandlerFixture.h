#pragma once
// A handler driven as the shell drives it, on a temporary folder, with debug
// lines captured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/CommandClass.h"
#include "tests/shellext/ShellFixtures.h"
#include "tests/support/DebugCapture.h"
#include "tests/support/TempFolder.h"
#include "tools/shellhost/CommandDriver.h"

namespace tessaly::testing {

// Tessaly's Explorer command, new.
inline ComRef<IExplorerCommand> NewCommand() {
    ComRef<IExplorerCommand> command;
    EXPECT_EQ(CreateTessalyCommand(nullptr, IID_IExplorerCommand, command.out()), S_OK);
    return command;
}

// A new command asked about a click as one of Windows 11's menus asks it,
// with the file manager's site or (noSite) without one.
inline shellhost::CommandTree Ask(shellhost::ClickKind kind, const std::vector<std::wstring>& paths,
                                  bool emptyArray = false,
                                  shellhost::CommandCaller caller = shellhost::CommandCaller::FirstMenu,
                                  bool noSite = false) {
    shellhost::CommandClick click;
    std::wstring failedCall;
    EXPECT_EQ(shellhost::PrepareCommandClick(kind, paths, emptyArray, click, failedCall), S_OK) << failedCall;
    if (noSite) click.site.reset();
    const shellhost::CommandMaker another = [](shellhost::ComPtr<IExplorerCommand>& command) {
        return CreateTessalyCommand(nullptr, IID_IExplorerCommand, command.put_void());
    };
    return shellhost::ReadCommandTree(NewCommand().get(), click, caller, another);
}

class HandlerTest : public ::testing::Test {
protected:
    static constexpr UINT kFirstId = 100;

    void SetUp() override { StoreSettings(MenuSettings{}); }

    // A file accessed and written minutesAgo minutes before now.
    void AddFile(const std::wstring& name, int accessedMinutesAgo = 60, int writtenMinutesAgo = 60) {
        folder.MakeFile(name);
        FILETIME now;
        ::GetSystemTimeAsFileTime(&now);
        const FileTimeCount count = (FileTimeCount{now.dwHighDateTime} << 32) | now.dwLowDateTime;
        const FileTimeCount minute = 600000000ull;
        folder.SetTimes(name, count - accessedMinutesAgo * minute, count - writtenMinutesAgo * minute);
    }

    HRESULT InitializeWithFolder() {
        const ItemList list(folder.Path());
        return handler->Initialize(list.get(), nullptr, nullptr);
    }

    // QueryContextMenu into a fresh shell menu holding one item of its own.
    HRESULT Build(UINT idCount = 1000, UINT flags = CMF_NORMAL) {
        ::AppendMenuW(shellMenu.get(), MF_STRING, 1, L"Shell's own item");
        return menu->QueryContextMenu(shellMenu.get(), 0, kFirstId, kFirstId + idCount - 1, flags);
    }
    // The Tessaly popup entry (position 0 after Build) and its submenu's items.
    MenuItem Popup() const { return ReadMenu(shellMenu.get()).at(0); }
    std::vector<MenuItem> SubmenuItems() const { return ReadMenu(Popup().submenu); }
    // The file names of the submenu's file items, in menu order.
    std::vector<std::wstring> FileNames() const {
        std::vector<std::wstring> names;
        if (ReadMenu(shellMenu.get()).size() < 2) return names;
        for (const MenuItem& item : SubmenuItems())
            if (!item.IsSeparator() && item.text != L"Options...")
                names.push_back(item.text.substr(item.text.find(L'\t') + 1));
        return names;
    }

    TempFolder folder;
    ComRef<IShellExtInit> handler = NewHandler();
    ComRef<IContextMenu> menu = ContextMenuOf(handler.get());
    PopupMenu shellMenu;
    DebugCapture debug;
};

}  // namespace tessaly::testing
