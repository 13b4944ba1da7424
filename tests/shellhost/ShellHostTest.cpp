// The shell host against a handler that is not ours: registered machine-wide
// in this test's own Wine prefix, as an installer would, next to a handler
// that is registered but not approved; and once more for one user only.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "HostProcess.h"
#include "TempFolder.h"

namespace tessaly::testing {
namespace {

const wchar_t kSampleClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF824C}";
const wchar_t kUnapprovedClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF8200}";
const wchar_t kUserClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF8201}";
const wchar_t kNoFactoryClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF8202}";
const wchar_t kNullObjectClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF8203}";
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

std::wstring Widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool Mentions(const std::vector<std::wstring>& lines, const std::wstring& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::wstring& line) { return line.find(text) != std::wstring::npos; });
}

void SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY opened = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS)
        << key;
    ::RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(opened);
}

class ShellHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + kSampleClass;
        SetString(HKEY_LOCAL_MACHINE, classKey + L"\\InprocServer32", nullptr, WindowsPathOf(TESSALY_SAMPLE_DLL));
        SetString(HKEY_LOCAL_MACHINE, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        for (const wchar_t* kind : {L"Directory\\Background", L"Directory", L"Drive"}) {
            const std::wstring handlers = std::wstring(L"Software\\Classes\\") + kind + L"\\ShellEx\\ContextMenuHandlers";
            SetString(HKEY_LOCAL_MACHINE, handlers + L"\\Sample", nullptr, kSampleClass);
            SetString(HKEY_LOCAL_MACHINE, handlers + L"\\Unapproved", nullptr, kUnapprovedClass);
        }
        SetString(HKEY_LOCAL_MACHINE, kApprovedKey, kSampleClass, L"Sample");
    }

    HostRun Host(std::vector<std::wstring> arguments, unsigned long timeoutMs = 60000) {
        arguments.insert(arguments.begin(), {L"--handler", L"Sample"});
        return RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments, timeoutMs);
    }

    // The host run while the sample's module is registered, approved and
    // hooked to folder backgrounds for the current user only, under a class id.
    static HostRun RunWithUserHandler(const wchar_t* classText, const wchar_t* name,
                                      const std::vector<std::wstring>& arguments) {
        const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + classText;
        const std::wstring handlerKey =
            std::wstring(L"Software\\Classes\\Directory\\Background\\ShellEx\\ContextMenuHandlers\\") + name;
        SetString(HKEY_CURRENT_USER, classKey + L"\\InprocServer32", nullptr, WindowsPathOf(TESSALY_SAMPLE_DLL));
        SetString(HKEY_CURRENT_USER, handlerKey, nullptr, classText);
        SetString(HKEY_LOCAL_MACHINE, kApprovedKey, classText, name);
        HostRun run = RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, classKey.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, handlerKey.c_str());
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kApprovedKey, classText);
        return run;
    }

    TempFolder m_folder;
};

TEST_F(ShellHost, BackgroundClickPrintsTheHandlersMenuTree) {
    const HostRun run = RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), {m_folder.Path()});
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    const std::wstring right = L"  " + m_folder.Path();
    const std::vector<std::wstring> expected = {
        L"Right-click on the background of " + m_folder.Path(),
        L"handler Sample " + std::wstring(kSampleClass) + L": QueryContextMenu used 2 ids from 100",
        L"handler Unapproved " + std::wstring(kUnapprovedClass) + L": not approved, skipped",
        L"",
        L"Sample >  [submenu]",
        L"  Background" + right + L"  [id 100, offset 0]",
        L"  " + std::wstring(10 + right.size(), L'-'),
        L"  Say &hello" + std::wstring(right.size(), L' ') + L"  [id 101, offset 1, picture]",
    };
    EXPECT_EQ(run.lines, expected);
}

TEST_F(ShellHost, FolderAndDriveClicksGetTheParentsListAndADataObject) {
    const std::wstring parent = m_folder.Path().substr(0, m_folder.Path().rfind(L'\\'));
    m_folder.MakeFolder(L"a");
    m_folder.MakeFolder(L"b");
    const std::wstring a = m_folder.PathOf(L"a"), b = m_folder.PathOf(L"b");
    struct Case {
        std::vector<std::wstring> kind;
        std::vector<std::wstring> paths;
        std::wstring text;
    } cases[] = {{{L"--folder"}, {m_folder.Path()}, L"Item       " + m_folder.Path() + L" in " + parent},
                 {{L"--folder", L"--null-folder"}, {m_folder.Path()}, L"Item       " + m_folder.Path() + L" in ?"},
                 // Two selected: one data object of both.
                 {{L"--folder"}, {a, b}, L"Item       " + a + L" + " + b + L" in " + m_folder.Path()},
                 // The parent of a drive is the computer, which has no file system path.
                 {{L"--drive"}, {L"C:\\"}, L"Item       C:\\ in ?"}};
    for (const Case& c : cases) {
        std::vector<std::wstring> arguments = c.kind;
        arguments.insert(arguments.end(), {L"--texts", L"--submenu", L"Sample"});
        arguments.insert(arguments.end(), c.paths.begin(), c.paths.end());
        const HostRun run = Host(arguments);
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u) << c.kind.back();
        ASSERT_FALSE(run.lines.empty()) << c.kind.back();
        EXPECT_EQ(run.lines.front(), c.text) << c.kind.back();
    }
}

// Tessaly's classic entry in every menu that asks its handler: the file
// manager's (the host run as explorer.exe) and a dialog of another program
// (the host as itself), with and without a stand-in for the Windows 11
// package (the keys a registered package's COM class leaves in the user's
// classes), for a folder, a background and a drive, in this build's bitness.
TEST_F(ShellHost, TessalysClassicEntryShowsInEveryMenuWithOrWithoutThePackage) {
    ASSERT_EQ(RunProgram(L"regsvr32.exe", {L"/s", WindowsPathOf(TESSALY_DLL)}).exitCode, 0u);
    const std::wstring fileManager = m_folder.PathOf(L"explorer.exe");
    ASSERT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_SHELL_EXE).c_str(), fileManager.c_str(), FALSE));
    const std::wstring packageClass =
        L"Software\\Classes\\PackagedCom\\ClassIndex\\{31947C44-8420-40FE-B315-A367ABAE0D74}";
    const struct {
        const char* menu;
        std::wstring host;
        bool package;
    } rows[] = {
        {"the file manager", fileManager, false},
        {"the file manager with the package", fileManager, true},
        {"a dialog", WindowsPathOf(TESSALY_SHELL_EXE), false},
        {"a dialog with the package", WindowsPathOf(TESSALY_SHELL_EXE), true},
    };
    const std::vector<std::vector<std::wstring>> clicks = {
        {m_folder.Path()}, {L"--folder", m_folder.Path()}, {L"--drive", L"C:\\"}};
    for (const auto& row : rows) {
        if (row.package) SetString(HKEY_CURRENT_USER, packageClass + L"\\Quenbridge.Tessaly_1.0.0.0_x64__ae0s97gfwsztp",
                                   nullptr, L"");
        for (const std::vector<std::wstring>& click : clicks) {
            SCOPED_TRACE(std::string(row.menu) + ", " + (click.size() == 1 ? "background" : "--folder or --drive"));
            std::vector<std::wstring> arguments = {L"--texts", L"--submenu", L"Tessaly"};
            arguments.insert(arguments.end(), click.begin(), click.end());
            const HostRun run = RunProgram(row.host, arguments);
            EXPECT_EQ(run.exitCode, 0u);
            EXPECT_FALSE(run.lines.empty() || run.lines.back() != L"Options...") << "one Tessaly entry";
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, packageClass.c_str());
    }
    EXPECT_EQ(RunProgram(L"regsvr32.exe", {L"/s", L"/u", WindowsPathOf(TESSALY_DLL)}).exitCode, 0u);
}

// Every subcommand invoked in a process where nothing else loaded the rich
// edit library: the file's error box and the sheet are owned by the file
// manager's window (the site's), and the sheet shows all three pages.
TEST_F(ShellHost, CommandModeAsksTessalysExplorerCommandAndInvokesEverySubcommand) {
    m_folder.MakeFile(L"listed.txt");
    std::vector<std::wstring> arguments = {L"--command", L"--dll", WindowsPathOf(TESSALY_DLL), L"--texts",
                                           m_folder.Path()};
    const HostRun tree = RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments);
    EXPECT_EQ(tree.exitCode, 0u);
    ASSERT_GE(tree.lines.size(), 3u);
    EXPECT_EQ(tree.lines.front(), L"Tessaly >");
    EXPECT_TRUE(Mentions(tree.lines, L" \u2014 listed.txt"));
    EXPECT_EQ(tree.lines.back(), L"  Options...");

    arguments.insert(arguments.end() - 1, {L"--menu", L"classic", L"--invoke-all", L"--dialogs", L"1"});
    const HostRun invoked = RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments);
    ASSERT_FALSE(invoked.timedOut);
    const std::vector<std::wstring> sheet = {
        L"window \"Tessaly 1.0 Beta\" (#32770), owned by the tool's window, above it", L"page 1 of 3 \"Settings\"",
        L"page 2 of 3 \"About\"", L"page 3 of 3 \"Uninstall\""};
    const auto at = std::search(invoked.lines.begin(), invoked.lines.end(), sheet.begin(), sheet.end());
    ASSERT_NE(at, invoked.lines.end()) << "the sheet, owned, with every page";
    EXPECT_TRUE(Mentions(std::vector<std::wstring>(invoked.lines.begin(), at),
                         L"(#32770), owned by the tool's window, above it: \""))
        << "the box saying the file type has no program";
    EXPECT_EQ(invoked.lines.back().substr(invoked.lines.back().size() - 6), L": S_OK");
}

// A RICHED32.DLL beside the host program, which a bare name would find first
// (with native libraries preferred, as on Windows): the sheet takes the
// system's, from the command and from the classic handler.
TEST_F(ShellHost, TheOptionsSheetNeverLoadsALibraryPlantedBesideTheHost) {
    const std::wstring host = m_folder.PathOf(L"tessaly-shell.exe");
    ASSERT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_SHELL_EXE).c_str(), host.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_PLANTED_LIBRARY).c_str(), m_folder.PathOf(L"riched32.dll").c_str(),
                            FALSE));
    const HMODULE dll = ::LoadLibraryW(WindowsPathOf(TESSALY_DLL).c_str());
    ASSERT_NE(dll, nullptr);
    const auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void (*)()>(::GetProcAddress(dll, "DllRegisterServer")));
    ASSERT_EQ(registerServer(), S_OK);
    // Wine's own setting for which of its libraries a program loads.
    SetString(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"riched32", L"native,builtin");
    const std::vector<std::vector<std::wstring>> runs = {
        {L"--command", L"--dll", WindowsPathOf(TESSALY_DLL)},
        {L"--handler", L"TessalyShExt"},
    };
    for (std::vector<std::wstring> arguments : runs) {
        ::DeleteFileW(m_folder.PathOf(L"planted-library-loaded").c_str());
        arguments.insert(arguments.end(), {L"--texts", L"--invoke", L"Options...", L"--dialogs", L"1", m_folder.Path()});
        const HostRun run = RunProgram(host, arguments);
        EXPECT_TRUE(Mentions(run.lines, L"page 2 of 3 \"About\"")) << arguments.front();
        EXPECT_EQ(::GetFileAttributesW(m_folder.PathOf(L"planted-library-loaded").c_str()), INVALID_FILE_ATTRIBUTES)
            << arguments.front();
    }
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"riched32");
}

TEST_F(ShellHost, PrintsEachItemsHelpTextAndVerb) {
    const HostRun run = Host({L"--texts", L"--strings", L"--first", L"1", L"--last", L"2", m_folder.Path()});
    ASSERT_GE(run.lines.size(), 2u);
    const std::vector<std::wstring> tail(run.lines.end() - 2, run.lines.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"offset 0 \"Background\": help \"Sample help 0\", verb \"sample0\"",
                                               L"offset 1 \"Say &hello\": help \"Sample help 1\", verb \"sample1\""}));
}

TEST_F(ShellHost, InvokesByTextOrOffsetAndReportsTheHandlersResultInWords) {
    struct Case {
        const wchar_t* item;
        const wchar_t* line;
        unsigned long exitCode;
    } cases[] = {{L"Background", L"InvokeCommand offset 0 of Sample: S_OK", 0},
                 {L"0", L"InvokeCommand offset 0 of Sample: S_OK", 0},
                 {L"7", L"InvokeCommand offset 7 of Sample: failed with 0x80070057 (", 2}};
    HostRun refused;
    for (const Case& c : cases) {
        const HostRun run = Host({L"--texts", L"--invoke", c.item, m_folder.Path()});
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back().substr(0, std::wcslen(c.line)), c.line);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.item;
        if (run.exitCode != 0) refused = run;
    }
    // A refusal comes with the handler's own debug line and the system's words for its result.
    ASSERT_GE(refused.lines.size(), 2u);
    EXPECT_EQ(refused.lines[refused.lines.size() - 2], L"debug output: Sample: no such command");
    EXPECT_GT(refused.lines.back().size(), std::wcslen(cases[2].line) + 1);
    EXPECT_EQ(refused.lines.back().back(), L')');
}

TEST_F(ShellHost, TakesAUnixPathAsDriveZsAndRefusesBadArgumentsClearlyWithoutCrashing) {
    const std::string unixFolder = std::string(TESSALY_SHELL_EXE).substr(0, std::string(TESSALY_SHELL_EXE).rfind('/'));
    const HostRun viaUnix = Host({L"--texts", L"--submenu", L"Sample", Widened(unixFolder)});
    EXPECT_EQ(viaUnix.exitCode, 0u);
    EXPECT_FALSE(viaUnix.lines.empty());
    EXPECT_EQ(viaUnix.lines, Host({L"--texts", L"--submenu", L"Sample", WindowsPathOf(unixFolder.c_str())}).lines);

    struct Case {
        std::vector<std::wstring> arguments;
        unsigned long exitCode;
        const wchar_t* says;
    } cases[] = {
        {{Widened(TESSALY_SHELL_EXE)}, 2, L"is a file, not a folder"},
        {{m_folder.Path() + L"\\missing"}, 2, L"cannot use"},
        {{L"--drive", m_folder.Path()}, 2, L"is not a drive"},
        {{L"--submenu", L"Nothing", m_folder.Path()}, 2, L"no submenu"},
        {{L"--invoke", L"65536", m_folder.Path()}, 1, L"at most 65535"},
        {{L"--first"}, 1, L"needs a number"},
    };
    for (const Case& c : cases) {
        const HostRun run = Host(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.says;
        EXPECT_TRUE(Mentions(run.errors, c.says)) << c.says;
    }
}

// Wine's COM does not see a class registered for one user (regsvr32 /n
// /i:user); Windows' merged view lists the user's handlers first.
TEST_F(ShellHost, FindsAHandlerRegisteredForTheUserOnlyAndCreatesItFromItsModule) {
    const HostRun run = RunWithUserHandler(kUserClass, L"UserSample", {m_folder.Path()});
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_GE(run.lines.size(), 4u);
    const std::wstring user = L"handler UserSample " + std::wstring(kUserClass) + L" (this user's): ";
    EXPECT_EQ(run.lines[1], user + L"registered for this user only, which COM here does not see: created through "
                                   L"DllGetClassObject of " + WindowsPathOf(TESSALY_SAMPLE_DLL));
    EXPECT_EQ(run.lines[2], user + L"QueryContextMenu used 2 ids from 100");
    EXPECT_EQ(run.lines[3], L"handler Sample " + std::wstring(kSampleClass) + L": QueryContextMenu used 2 ids from 102");
}

TEST_F(ShellHost, SaysSoWhenAModuleGivesNoClassFactory) {
    const HostRun run =
        RunWithUserHandler(kNoFactoryClass, L"NoFactory", {L"--handler", L"NoFactory", m_folder.Path()});
    EXPECT_EQ(run.exitCode, 2u) << "no handler filled the menu";
    EXPECT_TRUE(Mentions(run.lines, L"whose DllGetClassObject succeeded without a class factory"));
}

// One handler's broken factory does not end the run: the next one fills the menu.
TEST_F(ShellHost, SaysSoWhenAFactoryCreatesNothingAndGoesOnWithTheOthers) {
    const HostRun run = RunWithUserHandler(kNullObjectClass, L"NullObject", {m_folder.Path()});
    EXPECT_EQ(run.exitCode, 0u);
    const std::wstring user = L"handler NullObject " + std::wstring(kNullObjectClass) + L" (this user's): ";
    EXPECT_TRUE(Mentions(run.lines, user + L"created without an object (0x00000000 and a null pointer), skipped"));
    EXPECT_TRUE(Mentions(run.lines, L"handler Sample " + std::wstring(kSampleClass) + L": QueryContextMenu used 2 ids"));
}

// These need the display that the test's runner starts. The submenu opens
// by the keyboard, which highlights its first item: where its picture goes
// that item shows the highlight and, with a picture, the highlighted text's
// colour, nothing else (no box: Wine draws every menu without a theme).
TEST_F(ShellHost, ShowsTheMenuWithTheSubmenuOpenAndClosesIt) {
    ASSERT_EQ(RunProgram(L"regsvr32.exe", {L"/s", WindowsPathOf(TESSALY_DLL)}).exitCode, 0u);
    m_folder.MakeFile(L"listed.txt");
    const auto hex = [](int index) {
        wchar_t text[8];
        const COLORREF colour = ::GetSysColor(index);
        std::swprintf(text, 8, L"#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
        return std::wstring(text) + L" ";
    };
    const struct {
        const wchar_t *handler, *submenu;
        std::vector<std::wstring> colours;
    } rows[] = {{L"Sample", L"Sample", {hex(COLOR_HIGHLIGHT)}},  // an item without a picture
                {L"TessalyShExt", L"Tessaly", {hex(COLOR_HIGHLIGHT), hex(COLOR_HIGHLIGHTTEXT)}}};
    for (const auto& row : rows) {
        const HostRun run = RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), {L"--handler", row.handler, L"--texts",
                                                                          L"--submenu", row.submenu, L"--show", L"1",
                                                                          m_folder.Path()});
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_GE(run.lines.size(), 3u);
        EXPECT_EQ(run.lines[run.lines.size() - 3], L"menu shown");
        const std::wstring& column = run.lines[run.lines.size() - 2];
        EXPECT_EQ(std::count(column.begin(), column.end(), L'#'), static_cast<long>(row.colours.size())) << column;
        for (const std::wstring& colour : row.colours) EXPECT_NE(column.find(colour), std::wstring::npos) << column;
        EXPECT_EQ(run.lines.back(), L"menu closed");
    }
    EXPECT_EQ(RunProgram(L"regsvr32.exe", {L"/s", L"/u", WindowsPathOf(TESSALY_DLL)}).exitCode, 0u);
}

TEST_F(ShellHost, ClosesTheWindowAnInvokedCommandOpensAndSaysWhatItSays) {
    const std::wstring box = L"window \"Sample\" (#32770), owned by the tool's window, above it: \"Hello\"";
    struct Case {
        const wchar_t* option;
        std::vector<std::wstring> tail;
    } cases[] = {{L"--dialogs", {box, L"InvokeCommand offset 1 of Sample: S_OK"}},
                 {L"--close-after",
                  {box, L"closing it after 1 s",
                   L"InvokeCommand offset 1 of Sample: S_OK"}}};
    for (const Case& c : cases) {
        const HostRun run = Host({L"--texts", L"--invoke", L"Say hello", c.option, L"1", m_folder.Path()});
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_GE(run.lines.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::wstring>(run.lines.end() - c.tail.size(), run.lines.end()), c.tail) << c.option;
    }
}

// The host waits for its watcher once InvokeCommand has returned; a window
// the command left open must not keep either waiting for the other.
TEST_F(ShellHost, EndsWhenAnInvokedCommandLeavesAWindowOpen) {
    ::SetEnvironmentVariableW(L"SAMPLE_LEAVES_A_WINDOW", L"1");
    const HostRun run = Host({L"--texts", L"--invoke", L"0", m_folder.Path()}, 30000);
    ::SetEnvironmentVariableW(L"SAMPLE_LEAVES_A_WINDOW", nullptr);
    ASSERT_FALSE(run.timedOut);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), L"InvokeCommand offset 0 of Sample: S_OK");
}

TEST_F(ShellHost, ClicksAButtonOfTheWindowAnInvokedCommandOpens) {
    // The host would close the box itself only after 30 s: a quicker end
    // means the click closed it.
    const DWORD start = ::GetTickCount();
    const HostRun run =
        Host({L"--texts", L"--invoke", L"1", L"--dialogs", L"30", L"--click", L"OK", m_folder.Path()});
    EXPECT_LT(::GetTickCount() - start, 20000u);
    ASSERT_FALSE(run.timedOut);
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], L"clicking \"OK\"");
    EXPECT_EQ(run.lines.back(), L"InvokeCommand offset 1 of Sample: S_OK");
}

}  // namespace
}  // namespace tessaly::testing
