// Rules of Windows 11's menu that its tests through the shell host cannot
// reach under Wine: the shell items of an archive, a long path naming no
// share, and which icon a file item shows.
#include <gtest/gtest.h>
#include <shobjidl.h>

#include <string>
#include <utility>

#include "framework/com/ObjectRoot.h"
#include "framework/com/TaskMemory.h"
#include "resources/ResourceIds.h"
#include "shellext/CommandFolder.h"
#include "shellext/ShellFolder.h"
#include "shellext/TessalySubCommand.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

// One shell item with fixed attributes and file-system path, alone in an
// array, as the file manager hands a clicked item to the command.
class OneItem final : public IShellItem, public IShellItemArray {
public:
    OneItem(SFGAOF attributes, std::wstring path) : m_attributes(attributes), m_path(std::move(path)) {}

    STDMETHODIMP QueryInterface(REFIID, void** object) override { return *object = nullptr, E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetParent(IShellItem**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(SIGDN kind, LPWSTR* name) override {
        return kind == SIGDN_FILESYSPATH ? com::CopyToTaskMemory(m_path, name) : E_NOTIMPL;
    }
    STDMETHODIMP GetAttributes(SFGAOF mask, SFGAOF* attributes) override {
        *attributes = m_attributes & mask;
        return *attributes == mask ? S_OK : S_FALSE;
    }
    STDMETHODIMP Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }

    STDMETHODIMP GetPropertyStore(GETPROPERTYSTOREFLAGS, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetPropertyDescriptionList(REFPROPERTYKEY, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributes(SIATTRIBFLAGS, SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCount(DWORD* count) override { return *count = 1, S_OK; }
    STDMETHODIMP GetItemAt(DWORD index, IShellItem** item) override {
        if (index != 0) return E_INVALIDARG;
        *item = this;
        return S_OK;
    }
    STDMETHODIMP EnumItems(IEnumShellItems**) override { return E_NOTIMPL; }

private:
    SFGAOF m_attributes;
    std::wstring m_path;
};

// A zip file browsed as a folder is a folder to the shell, but a stream: no
// folder to list.
TEST(CommandRulesTest, AnArchiveBrowsedAsAFolderGetsNoCommand) {
    testing::TempFolder folder;
    constexpr SFGAOF kFolder = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    OneItem directory(kFolder, folder.Path()), archive(kFolder | SFGAO_STREAM, folder.Path());
    EXPECT_EQ(shellext::ResolveCommandFolder(&directory, nullptr, true).state, shellext::CommandFolderState::Shown);
    EXPECT_EQ(shellext::ResolveCommandFolder(&archive, nullptr, true).state, shellext::CommandFolderState::Hidden);
}

// A long path of a share must name a server and a share, as a short one does.
TEST(CommandRulesTest, ALongSharePathWithoutServerOrShareIsRefused) {
    for (const wchar_t* path : {L"\\\\?\\UNC\\", L"\\\\?\\UNC\\server", L"\\\\?\\UNC\\server\\", L"\\\\?\\UNC\\\\share"})
        EXPECT_FALSE(shellext::IsAcceptedFolderPath(path)) << path;
}

// Each list's items show that list's picture, as in the classic menu.
TEST(CommandRulesTest, FileItemsShowTheIconOfTheirList) {
    const struct {
        MenuPicture picture;
        unsigned icon;
    } cases[] = {{MenuPicture::Accessed, IDI_MENU_ACCESSED}, {MenuPicture::Modified, IDI_MENU_MODIFIED}};
    for (const auto& c : cases) {
        const auto item = com::MakeObject<CTessalySubCommand>();
        PlanItem planned;
        planned.kind = PlanItemKind::File;
        planned.picture = c.picture;
        item->SetItem(planned, nullptr);
        com::TaskString location;
        ASSERT_EQ(item->GetIcon(nullptr, location.put()), S_OK);
        const std::wstring text = location.get();
        const std::wstring id = L",-" + std::to_wstring(c.icon);
        EXPECT_EQ(text.substr(text.size() - id.size()), id) << text;
    }
}

}  // namespace
}  // namespace tessaly
