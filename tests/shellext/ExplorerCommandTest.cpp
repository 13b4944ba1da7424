// Tessaly's Explorer command asked as Windows 11's file manager asks it (the
// shell host's driver builds each click), against the classic handler
// initialised by the same host for the same click.
#include <shobjidl.h>

#include <string>
#include <vector>

#include "framework/com/TaskMemory.h"
#include "resources/ResourceIds.h"
#include "platform/win/HandleOwners.h"
#include "tests/shellext/HandlerFixture.h"
#include "tools/shellhost/ClickTarget.h"

namespace tessaly {
namespace {

using shellhost::ClickKind;
using testing::ComRef;
using testing::HandlerTest;
using testing::Ask;
using testing::MenuItem;
using testing::NewCommand;

// What a classic item says, in the one line a command's title gives it:
// both menus read "&" as a mnemonic mark, so both double it.
std::wstring OneLine(const MenuItem& item) {
    std::wstring text;
    for (const wchar_t c : item.text) text += c == L'\t' ? std::wstring(L" \u2014 ") : std::wstring(1, c);
    return text;
}

class ExplorerCommandTest : public HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        folder.MakeFolder(L"docs");
        folder.MakeFolder(L"more");
        AddFile(L"a & b.txt", 5, 50);
        AddFile(L"plain.txt", 50, 5);
        AddFile(L"docs\\inside.txt");
    }

    // The classic submenu for a click, as the shell host initialises the handler.
    std::vector<MenuItem> ClassicSubmenu(ClickKind kind, const std::wstring& path) {
        shellhost::ClickTarget target;
        std::wstring problem;
        EXPECT_EQ(shellhost::PrepareClick(kind, {path}, target, problem), S_OK) << problem;
        const ComRef<IShellExtInit> classic = testing::NewHandler();
        EXPECT_EQ(classic->Initialize(target.folder.get(), target.data.get(), nullptr), S_OK);
        const testing::PopupMenu shell;
        EXPECT_GT(testing::ContextMenuOf(classic.get())->QueryContextMenu(shell.get(), 0, kFirstId, 0x7FFF, 0), 0);
        return testing::ReadMenu(testing::ReadMenu(shell.get()).at(0).submenu);
    }
};

// Both of Windows 11's menus, in the orders they ask (the classic one asks
// a second instance from another apartment), with the site and without.
TEST_F(ExplorerCommandTest, TreeIsTheClassicSubmenuItemForItemForEveryKindOfClickAndCaller) {
    // The drive's root gets files of its own (the test's Wine prefix is thrown away after).
    const std::wstring rootFiles[] = {L"C:\\tessaly-root-1.txt", L"C:\\tessaly-root-2.txt"};
    for (const std::wstring& file : rootFiles) {
        const platform::FileHandle made(
            ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(made.valid());
    }
    using shellhost::CommandCaller;
    const struct {
        const char* name;
        ClickKind kind;
        std::wstring path;
        bool emptyArray;
        CommandCaller caller;
        bool noSite;
    } clicks[] = {
        {"folder icon", ClickKind::Folder, folder.PathOf(L"docs"), false, CommandCaller::FirstMenu, false},
        {"folder icon, classic menu", ClickKind::Folder, folder.PathOf(L"docs"), false, CommandCaller::ClassicMenu, false},
        {"folder icon, no site", ClickKind::Folder, folder.PathOf(L"docs"), false, CommandCaller::ClassicMenu, true},
        {"background, no array", ClickKind::Background, folder.Path(), false, CommandCaller::FirstMenu, false},
        {"background, no array, classic menu", ClickKind::Background, folder.Path(), false, CommandCaller::ClassicMenu,
         false},
        {"background, empty array, classic menu", ClickKind::Background, folder.Path(), true,
         CommandCaller::ClassicMenu, false},
        {"drive", ClickKind::Drive, L"C:\\", false, CommandCaller::FirstMenu, false},
        {"drive, classic menu", ClickKind::Drive, L"C:\\", false, CommandCaller::ClassicMenu, false},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        const std::vector<MenuItem> classic = ClassicSubmenu(click.kind, click.path);
        const shellhost::CommandTree tree = Ask(click.kind, {click.path}, click.emptyArray, click.caller, click.noSite);
        EXPECT_TRUE(tree.problems.empty()) << tree.problems.front();
        ASSERT_EQ(tree.nodes.size(), 1u);
        const shellhost::MenuNode& top = tree.nodes.front();
        EXPECT_EQ(top.text, L"Tessaly");
        EXPECT_TRUE(top.isSubmenu && top.hasPicture);
        ASSERT_EQ(top.children.size(), classic.size());
        ASSERT_GT(classic.size(), 3u) << "files listed";
        for (std::size_t i = 0; i < classic.size(); ++i) {
            EXPECT_EQ(top.children[i].separator, classic[i].IsSeparator()) << i;
            if (classic[i].IsSeparator()) continue;
            EXPECT_EQ(top.children[i].text, OneLine(classic[i])) << i;
            EXPECT_EQ(top.children[i].hasPicture, classic[i].checked != nullptr) << i;
        }
    }
    for (const std::wstring& file : rootFiles) ::DeleteFileW(file.c_str());
}

TEST_F(ExplorerCommandTest, HiddenForAnythingButOneFileSystemFolderTheHandlerWouldTake) {
    const std::wstring thisPc = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    const struct {
        const char* name;
        ClickKind kind;
        std::vector<std::wstring> paths;
        bool noSite = false;
    } clicks[] = {
        {"two folders", ClickKind::Folder, {folder.PathOf(L"docs"), folder.PathOf(L"more")}},
        {"a file", ClickKind::Folder, {folder.PathOf(L"plain.txt")}},
        {"This PC", ClickKind::Folder, {thisPc}},
        {"This PC's background", ClickKind::Background, {thisPc}},
        {"a background, asked without a site", ClickKind::Background, {folder.Path()}, true},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        const shellhost::CommandTree tree =
            Ask(click.kind, click.paths, false, shellhost::CommandCaller::FirstMenu, click.noSite);
        EXPECT_EQ(tree.stateResult, S_OK) << click.name;
        EXPECT_TRUE(tree.hidden) << click.name;
    }
}

// A real folder's item as the shell may describe one that Wine's shell
// cannot make: slow to reach (on the network), or with a longer path.
class ItemDouble : public IShellItem {
public:
    ItemDouble(IShellItem* item, SFGAOF extra, std::wstring path = {})
        : m_item(item), m_extra(extra), m_path(std::move(path)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (riid != IID_IUnknown && riid != IID_IShellItem) return *object = nullptr, E_NOINTERFACE;
        *object = static_cast<IShellItem*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP BindToHandler(IBindCtx* b, REFGUID h, REFIID r, void** o) override {
        return m_item->BindToHandler(b, h, r, o);
    }
    STDMETHODIMP GetParent(IShellItem** parent) override { return m_item->GetParent(parent); }
    STDMETHODIMP GetDisplayName(SIGDN form, LPWSTR* name) override {
        if (form != SIGDN_FILESYSPATH || m_path.empty()) return m_item->GetDisplayName(form, name);
        return com::CopyToTaskMemory(m_path, name);
    }
    STDMETHODIMP GetAttributes(SFGAOF mask, SFGAOF* attributes) override {
        ++attributeQuestions;
        const HRESULT result = m_item->GetAttributes(mask, attributes);
        *attributes |= mask & m_extra;
        return result;
    }
    STDMETHODIMP Compare(IShellItem* other, SICHINTF hint, int* order) override {
        return m_item->Compare(other, hint, order);
    }
    // An array of this one item, as the file manager passes a click on it.
    ComRef<IShellItemArray> AsArray() {
        ComRef<IShellItemArray> items;
        EXPECT_EQ(::SHCreateShellItemArrayFromShellItem(this, IID_IShellItemArray, items.out()), S_OK);
        return items;
    }
    int attributeQuestions = 0;

private:
    IShellItem* m_item;
    SFGAOF m_extra;
    std::wstring m_path;
};

class ItemDoubleTest : public ExplorerCommandTest {
protected:
    void SetUp() override {
        ExplorerCommandTest::SetUp();
        ASSERT_EQ(::SHCreateItemFromParsingName(folder.Path().c_str(), nullptr, IID_IShellItem, real.out()), S_OK);
    }
    ComRef<IShellItem> real;
};

// What the classic handler would refuse is hidden: a path from its limit
// on, a share's long path without a server and share, and an archive the
// shell browses as a folder (a folder to the shell, but a stream).
TEST_F(ItemDoubleTest, ItemsTheHandlerWouldNotTakeAreHidden) {
    const std::wstring longest = folder.Path() + L"\\" + std::wstring(MAX_PATH - 2 - folder.Path().size(), L'd');
    const struct {
        std::wstring path;
        SFGAOF extra;
        EXPCMDSTATE state;
    } items[] = {
        {longest, 0, ECS_ENABLED},
        {longest + L"d", 0, ECS_HIDDEN},
        {L"\\\\?\\UNC\\server", 0, ECS_HIDDEN},
        {L"\\\\?\\UNC\\\\share", 0, ECS_HIDDEN},
        {{}, SFGAO_STREAM, ECS_HIDDEN},
    };
    for (const auto& row : items) {
        ItemDouble item(real.get(), row.extra, row.path);
        EXPCMDSTATE state = ECS_DISABLED;
        EXPECT_EQ(NewCommand()->GetState(item.AsArray().get(), FALSE, &state), S_OK);
        EXPECT_EQ(state, row.state) << row.path << " " << row.extra;
    }
}

// A caller may never ask again after E_PENDING (MediaArea/MediaInfo#1290:
// the classic menu on one Windows 11 machine): the state it holds shows the
// command, and the subcommands resolve the item themselves.
TEST_F(ItemDoubleTest, GetStateOnlyResolvesThePathAndLeavesASlowItemShownForLater) {
    folder.MakeUnopenableFile(L"locked.");  // reading it writes a debug line
    for (const bool asksAgain : {true, false}) {
        SCOPED_TRACE(asksAgain ? "asks again" : "never asks again");
        ItemDouble slow(real.get(), SFGAO_ISSLOW);
        const ComRef<IShellItemArray> items = slow.AsArray();
        const ComRef<IExplorerCommand> command = NewCommand();
        const std::size_t linesBefore = debug.Lines().size();

        EXPCMDSTATE state = ECS_HIDDEN;
        EXPECT_EQ(command->GetState(items.get(), FALSE, &state), E_PENDING);
        EXPECT_EQ(state, ECS_ENABLED);
        EXPECT_EQ(slow.attributeQuestions, 1) << "nothing but whether the item is slow";
        if (asksAgain) {
            state = ECS_HIDDEN;
            EXPECT_EQ(command->GetState(items.get(), TRUE, &state), S_OK);
            EXPECT_EQ(state, ECS_ENABLED);
        }
        EXPECT_EQ(debug.Lines().size(), linesBefore) << "the folder was not read";

        ComRef<IEnumExplorerCommand> list;
        ASSERT_EQ(command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out())), S_OK);
        EXPECT_GT(debug.Lines().size(), linesBefore) << "the subcommands read it";
    }
}

// Each list's file items show its own picture, as in the classic menu.
TEST_F(ExplorerCommandTest, FileItemsShowTheIconOfTheirList) {
    const shellhost::CommandTree tree = Ask(ClickKind::Background, {folder.Path()});
    ASSERT_EQ(tree.nodes.size(), 1u);
    const std::wstring icons[] = {L",-" + std::to_wstring(IDI_MENU_ACCESSED), L",-" + std::to_wstring(IDI_MENU_MODIFIED)};
    std::size_t list = 0, files = 0;
    for (const shellhost::MenuNode& item : tree.nodes.front().children) {
        if (item.separator) {
            ++list;
            continue;
        }
        if (list > 1) break;  // "Options..."
        com::TaskString location;
        ASSERT_EQ(tree.subcommands[item.id]->GetIcon(nullptr, location.put()), S_OK);
        const std::wstring text = location.get();
        EXPECT_EQ(text.substr(text.rfind(L',')), icons[list]) << item.text;
        ++files;
    }
    EXPECT_GT(files, 3u) << "both lists";
}

TEST_F(ExplorerCommandTest, EnumeratorKeepsTheIEnumContract) {
    ComRef<IExplorerCommand> command = NewCommand();
    EXPCMDSTATE state = ECS_HIDDEN;
    ASSERT_EQ(command->GetState(nullptr, TRUE, &state), S_OK);
    EXPECT_EQ(state, ECS_HIDDEN) << "no items and no site: no folder";
    ComRef<IEnumExplorerCommand> list;
    ASSERT_EQ(command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out())), S_OK);
    command.reset();
    // No folder: the two empty lists' separators and "Options...".
    IExplorerCommand* got[4] = {};
    ULONG fetched = 9;
    EXPECT_EQ(list->Next(2, got, nullptr), E_POINTER) << "a count needs somewhere to go";
    EXPECT_EQ(list->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    ComRef<IEnumExplorerCommand> clone;
    ASSERT_EQ(list->Clone(reinterpret_cast<IEnumExplorerCommand**>(clone.out())), S_OK);
    EXPECT_EQ(list->Next(4, got + 2, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(list->Skip(1), S_FALSE);
    EXPECT_EQ(clone->Skip(1), S_OK) << "a clone keeps its own position";
    EXPECT_EQ(clone->Next(1, got + 3, nullptr), S_FALSE);
    ASSERT_EQ(list->Reset(), S_OK);
    IExplorerCommand* first = nullptr;
    ASSERT_EQ(list->Next(1, &first, nullptr), S_OK);
    EXPECT_EQ(first, got[0]);
    first->Release();
    EXPCMDFLAGS flags[3] = {};
    for (int i = 0; i < 3; ++i) got[i]->GetFlags(&flags[i]);
    EXPECT_EQ(flags[0] & ECF_ISSEPARATOR, ECF_ISSEPARATOR);
    EXPECT_EQ(flags[2] & ECF_ISSEPARATOR, 0u);

    for (int i = 0; i < 3; ++i) got[i]->Release();
}

}  // namespace
}  // namespace tessaly
