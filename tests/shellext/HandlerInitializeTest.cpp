// Initialize as the shell calls it: with a folder's item list (a folder's
// background) or with the shell's own data object for the clicked items.
#include <objidl.h>

#include <utility>

#include "tests/shellext/HandlerFixture.h"
#include "tests/support/GuiObjects.h"

namespace tessaly {
namespace {

using testing::HandlerTest;
using testing::ItemList;
using testing::ShellDataObject;

// A data object that offers no CF_HDROP.
class EmptyDataObject : public IDataObject {
public:
    STDMETHODIMP QueryInterface(REFIID, void** result) override { return *result = nullptr, E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return ++requests, DV_E_FORMATETC; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    int requests = 0;
};

class InitializeTest : public HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        folder.MakeFolder(L"docs");
        folder.MakeFolder(L"more");
        folder.MakeFile(L"plain.txt");
        AddFile(L"docs\\inside.txt");
    }
    HRESULT InitializeWithItems(const std::vector<std::wstring>& names) {
        return handler->Initialize(nullptr, ShellDataObject(folder.Path(), names).get(), nullptr);
    }
};

// As the shell calls it: for an icon click the folder that holds the
// selection and a data object of the selection; for a background the folder
// itself and no data object. Only one selected folder is the clicked one.
TEST_F(InitializeTest, TheSelectionDecidesAndNeverListsItsParent) {
    const ItemList parent(folder.Path());
    const ItemList docs(folder.PathOf(L"docs"));
    EmptyDataObject none;
    const std::vector<std::wstring> inside = {L"inside.txt", L"inside.txt"};
    struct Click {
        const char* name;
        PCIDLIST_ABSOLUTE list;
        std::vector<std::wstring> selection;  // empty: no data object
        HRESULT result;
        std::vector<std::wstring> files;
    } clicks[] = {
        {"one folder", parent.get(), {L"docs"}, S_OK, inside},
        {"two folders", parent.get(), {L"docs", L"more"}, E_INVALIDARG, {}},
        {"a folder and a file", parent.get(), {L"docs", L"plain.txt"}, E_INVALIDARG, {}},
        {"a file", parent.get(), {L"plain.txt"}, E_INVALIDARG, {}},
        {"a background", docs.get(), {}, S_OK, inside},
    };
    for (const Click& click : clicks) {
        const auto data = click.selection.empty() ? testing::ComRef<IDataObject>()
                                                  : ShellDataObject(folder.Path(), click.selection);
        EXPECT_EQ(handler->Initialize(click.list, data.get(), nullptr), click.result) << click.name;
        ASSERT_GE(Build(), 0);
        EXPECT_EQ(FileNames(), click.files) << click.name;
        EXPECT_NE(Popup().checked, nullptr) << click.name << ": the pictures are loaded all the same";
        ::DeleteMenu(shellMenu.get(), 0, MF_BYPOSITION);
    }
    // A data object without a drop list says nothing: the item list does.
    EXPECT_EQ(handler->Initialize(docs.get(), &none, nullptr), S_OK);
}

TEST_F(InitializeTest, DataObjectWithOneFolderIsTaken) {
    EXPECT_EQ(InitializeWithItems({L"docs"}), S_OK);
    ASSERT_GE(Build(), 0);
    EXPECT_EQ(FileNames(), (std::vector<std::wstring>{L"inside.txt", L"inside.txt"}));
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(InitializeTest, NoDataObjectOrNoDropListGiveNoFolderAndNoPictures) {
    EmptyDataObject data;
    EXPECT_EQ(handler->Initialize(nullptr, &data, nullptr), E_INVALIDARG);
    EXPECT_EQ(data.requests, 1);
    EXPECT_EQ(handler->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
    ASSERT_GE(Build(), 0);
    EXPECT_EQ(Popup().checked, nullptr);
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(InitializeTest, SecondCallForgetsTheFirstFolderAndKeepsItsPictures) {
    ASSERT_EQ(InitializeWithFolder(), S_OK);
    AddFile(L"a.txt");
    ASSERT_GE(Build(), 0);
    const HBITMAP firstPicture = Popup().checked;

    const testing::GuiObjects before = testing::GuiObjects::Now();
    EXPECT_EQ(InitializeWithItems({L"docs", L"more"}), E_INVALIDARG);
    EXPECT_EQ(testing::GuiObjects::Now().gdi, before.gdi) << "no picture loaded again";
    EXPECT_EQ(::GetObjectType(firstPicture), static_cast<DWORD>(OBJ_BITMAP)) << "the menu built first shows it";
    ::DeleteMenu(shellMenu.get(), 0, MF_BYPOSITION);
    ASSERT_GE(Build(), 0);
    EXPECT_EQ(Popup().checked, firstPicture) << "loaded once per handler";
    EXPECT_TRUE(FileNames().empty()) << "a failing second call leaves no folder";
}

}  // namespace
}  // namespace tessaly
