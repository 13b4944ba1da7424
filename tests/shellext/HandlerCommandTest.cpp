// InvokeCommand and GetCommandString. A file item is opened through the
// shell: the tests' file type ".tessalyopen" runs the open recorder, which
// writes the path it received into a file.
#include <functional>
#include <string>

#include "platform/win/HandleOwners.h"
#include "tests/shellext/HandlerFixture.h"
#include "tests/shellext/OptionsSheetDouble.h"

namespace tessaly {
namespace {

using testing::HandlerTest;
using testing::MenuSettings;
using testing::OptionsSheetShownCount;

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

bool SetClassesValue(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG set = ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    return set == ERROR_SUCCESS;
}

std::wstring ReadRecord(const std::wstring& path) {
    const platform::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return {};
    wchar_t text[1024] = {};
    DWORD read = 0;
    ::ReadFile(file.get(), text, sizeof text - sizeof(wchar_t), &read, nullptr);
    return std::wstring(text, read / sizeof(wchar_t));
}

class CommandTest : public HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        record = folder.PathOf(L"opened.record");
        // Machine-wide: the shell's file types do not include the user's classes here.
        ASSERT_TRUE(SetClassesValue(L".tessalyopen", L"TessalyTest.Open"));
        ASSERT_TRUE(
            SetClassesValue(L"TessalyTest.Open\\shell\\open\\command",
                            L"\"" + ProgramFolder() + L"tessaly_open_recorder.exe\" \"" + record + L"\" \"%1\""));
        // Written order: third.tessalyopen, second, first (newest first);
        // accessed order the reverse.
        AddFile(L"first.tessalyopen", 10, 30);
        AddFile(L"second.tessalyopen", 20, 20);
        AddFile(L"third.tessalyopen", 30, 10);
        ASSERT_EQ(InitializeWithFolder(), S_OK);
        ASSERT_EQ(Build(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 7));
    }

    HRESULT Invoke(LPCSTR verb) {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        info.lpVerb = verb;
        info.nShow = SW_SHOWNORMAL;
        return menu->InvokeCommand(&info);
    }
    static LPCSTR Offset(ULONG_PTR offset) { return reinterpret_cast<LPCSTR>(offset); }

    // The path the recorder received; empty when nothing was opened within 10 s.
    std::wstring OpenedPath() {
        for (int wait = 0; wait < 100; ++wait) {
            const std::wstring text = ReadRecord(record);
            if (!text.empty()) return text;
            ::Sleep(100);
        }
        return {};
    }
    bool NothingOpened() {
        ::Sleep(300);
        return ::GetFileAttributesW(record.c_str()) == INVALID_FILE_ATTRIBUTES;
    }

    std::wstring record;
};

TEST_F(CommandTest, FileItemOpensItsFileWithTheDefaultVerb) {
    EXPECT_EQ(Invoke(Offset(4)), S_OK);  // the second modified item
    EXPECT_EQ(OpenedPath(), folder.PathOf(L"second.tessalyopen"));
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(CommandTest, LastOffsetShowsTheOptionsSheetAndBeyondItNothingHappens) {
    const int shownBefore = OptionsSheetShownCount();
    EXPECT_EQ(Invoke(Offset(6)), S_OK);
    EXPECT_EQ(OptionsSheetShownCount(), shownBefore + 1);
    EXPECT_EQ(Invoke(Offset(7)), E_INVALIDARG);
    EXPECT_EQ(Invoke(Offset(0xFFFF)), E_INVALIDARG);
    EXPECT_EQ(OptionsSheetShownCount(), shownBefore + 1);
    EXPECT_TRUE(NothingOpened());
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(CommandTest, VerbStringsAndANullRecordAreRefused) {
    const int shownBefore = OptionsSheetShownCount();
    EXPECT_EQ(Invoke("Tessaly"), E_INVALIDARG);
    // A string address whose bits 16 to 31 are clear, where a pointer has
    // higher bits (bit 32), else bit 31: not the offset 2 or 6.
    const ULONG_PTR high = sizeof(ULONG_PTR) > 4 ? (ULONG_PTR{1} << 16) << 16 : ULONG_PTR{1} << 31;
    EXPECT_EQ(Invoke(Offset(high | 2)), E_INVALIDARG);
    EXPECT_EQ(Invoke(Offset(high | 6)), E_INVALIDARG);
    EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
    EXPECT_TRUE(NothingOpened());
    EXPECT_EQ(OptionsSheetShownCount(), shownBefore);
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(CommandTest, OnlyTheLastBuildCounts) {
    MenuSettings modifiedOnly;
    modifiedOnly.accessed = 0;
    testing::StoreSettings(modifiedOnly);
    testing::PopupMenu second;
    ASSERT_EQ(menu->QueryContextMenu(second.get(), 0, 500, 600, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 4));
    const int shownBefore = OptionsSheetShownCount();
    EXPECT_EQ(Invoke(Offset(3)), S_OK);
    EXPECT_EQ(OptionsSheetShownCount(), shownBefore + 1) << "offset 3 is the second menu's Options...";
    EXPECT_EQ(Invoke(Offset(0)), S_OK);
    EXPECT_EQ(OpenedPath(), folder.PathOf(L"third.tessalyopen"));
}

TEST_F(CommandTest, AFileGoneMeanwhileGivesOneDebugLineFromEitherItem) {
    // Without a display the shell cannot raise its error box, so the call
    // fails at once (error 1400, invalid window handle) instead of waiting on it.
    wchar_t display[8];
    if (::GetEnvironmentVariableW(L"DISPLAY", display, 8) > 0) GTEST_SKIP() << "needs to run without a display";
    const shellhost::CommandTree tree = testing::Ask(shellhost::ClickKind::Background, {folder.Path()});
    ASSERT_EQ(tree.subcommands.size(), 9u);
    ASSERT_TRUE(::DeleteFileW(folder.PathOf(L"first.tessalyopen").c_str()));
    const struct {
        const char* item;
        std::function<HRESULT()> invoke;
        HRESULT result;
        const wchar_t* line;
    } cases[] = {
        {"classic item", [&] { return Invoke(Offset(0)); }, E_INVALIDARG,
         L"Tessaly: Exception in CTessalyShExt::InvokeCommand: ::ShellExecuteEx failed "},
        {"subcommand", [&] { return tree.subcommands[0]->Invoke(nullptr, nullptr); }, E_FAIL,
         L"Tessaly: Exception in CTessalySubCommand::Invoke: ::ShellExecuteEx failed "},
    };
    std::size_t linesBefore = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(c.invoke(), c.result);
        const std::vector<std::wstring> lines = debug.Lines();
        ASSERT_EQ(lines.size(), linesBefore + 1);
        EXPECT_EQ(lines.back().rfind(c.line, 0), 0u) << lines.back();
        EXPECT_EQ(lines.back().substr(lines.back().size() - 7), L"(0x578)");
        linesBefore = lines.size();
    }
}

TEST_F(CommandTest, SubcommandsOpenTheFileOrTheSheetAsTheirClassicItemsDo) {
    const shellhost::CommandTree tree = testing::Ask(shellhost::ClickKind::Background, {folder.Path()});
    ASSERT_EQ(tree.subcommands.size(), 9u);  // 3 accessed, separator, 3 modified, separator, Options...
    const int shownBefore = OptionsSheetShownCount();
    EXPECT_EQ(tree.subcommands[5]->Invoke(nullptr, nullptr), S_OK);  // the second modified item, as offset 4
    EXPECT_EQ(OpenedPath(), folder.PathOf(L"second.tessalyopen"));
    EXPECT_EQ(tree.subcommands[8]->Invoke(nullptr, nullptr), S_OK);
    EXPECT_EQ(OptionsSheetShownCount(), shownBefore + 1);
    EXPECT_EQ(tree.subcommands[3]->Invoke(nullptr, nullptr), E_FAIL) << "a separator does nothing";
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(CommandTest, CommandStringTable) {
    const std::wstring help = L"View recently accessed/modified files in a folder";
    const struct {
        UINT type;
        bool wide;
        const wchar_t* text;  // null: the buffer is left as it was
    } cases[] = {
        {GCS_VERBA, false, L"Tessaly"},      {GCS_HELPTEXTA, false, help.c_str()},
        {GCS_VALIDATEA, false, nullptr},     {GCS_VERBW, true, L"Tessaly"},
        {GCS_HELPTEXTW, true, help.c_str()}, {GCS_VALIDATEW, true, help.c_str()},
        {0x41, false, help.c_str()},         {0x20, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        union {
            char ansi[128];
            wchar_t wide[64];
        } buffer;
        std::fill(std::begin(buffer.wide), std::end(buffer.wide), L'#');
        EXPECT_EQ(menu->GetCommandString(0, c.type, nullptr, buffer.ansi, 64), S_OK);
        if (c.text == nullptr)
            EXPECT_EQ(buffer.wide[0], L'#');
        else if (c.wide)
            EXPECT_EQ(std::wstring(buffer.wide), c.text);
        else
            EXPECT_EQ(std::string(buffer.ansi), std::string(c.text, c.text + wcslen(c.text)));
        EXPECT_EQ(menu->GetCommandString(1, c.type, nullptr, buffer.ansi, 64), E_INVALIDARG);
    }
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(CommandTest, CommandStringCopiesAreBounded) {
    wchar_t wide[16];
    std::fill(std::begin(wide), std::end(wide), L'#');
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 10), S_OK);
    EXPECT_EQ(std::wstring(wide), L"View rece");
    EXPECT_EQ(wide[10], L'#');

    char ansi[8];
    std::fill(std::begin(ansi), std::end(ansi), '#');
    EXPECT_EQ(menu->GetCommandString(0, GCS_VERBA, nullptr, ansi, 4), S_OK);
    EXPECT_EQ(std::string(ansi), "Tes");
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, 0), S_OK);
    EXPECT_EQ(std::string(ansi), "Tes") << "cchMax 0 writes nothing";
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, nullptr, 64), S_OK);
}

}  // namespace
}  // namespace tessaly
