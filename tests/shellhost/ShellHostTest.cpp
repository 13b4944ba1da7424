// The shell host against a handler that is not ours: registered machine-wide
// in this test's own Wine prefix, as an installer would, next to a handler
// that is registered but not approved.
#include <windows.h>

#include <gtest/gtest.h>

#include "HostProcess.h"
#include "TempFolder.h"

namespace tessaly::testing {
namespace {

const wchar_t kSampleClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF824C}";
const wchar_t kUnapprovedClass[] = L"{0E0BACBB-27B0-4490-AD26-C41FFCFF8200}";

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
        SetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                  kSampleClass, L"Sample");
    }

    HostRun Host(std::vector<std::wstring> arguments) {
        arguments.insert(arguments.begin(), {L"--handler", L"Sample"});
        return RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments);
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
    struct Case {
        std::vector<std::wstring> kind;
        std::wstring path;
        std::wstring text;
    } cases[] = {{{L"--folder"}, m_folder.Path(), L"Item       " + m_folder.Path() + L" in " + parent},
                 {{L"--folder", L"--null-folder"}, m_folder.Path(), L"Item       " + m_folder.Path() + L" in ?"},
                 // The parent of a drive is the computer, which has no file system path.
                 {{L"--drive"}, L"C:\\", L"Item       C:\\ in ?"}};
    for (const Case& c : cases) {
        std::vector<std::wstring> arguments = c.kind;
        arguments.insert(arguments.end(), {L"--texts", L"--submenu", L"Sample", c.path});
        const HostRun run = Host(arguments);
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u) << c.kind.back();
        ASSERT_FALSE(run.lines.empty()) << c.kind.back();
        EXPECT_EQ(run.lines.front(), c.text) << c.kind.back();
    }
}

TEST_F(ShellHost, PrintsEachItemsHelpTextAndVerb) {
    const HostRun run = Host({L"--texts", L"--strings", L"--first", L"1", L"--last", L"2", m_folder.Path()});
    ASSERT_GE(run.lines.size(), 2u);
    const std::vector<std::wstring> tail(run.lines.end() - 2, run.lines.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"offset 0 \"Background\": help \"Sample help 0\", verb \"sample0\"",
                                               L"offset 1 \"Say &hello\": help \"Sample help 1\", verb \"sample1\""}));
}

TEST_F(ShellHost, InvokesByTextOrOffsetAndReportsTheHandlersResult) {
    struct Case {
        const wchar_t* item;
        const wchar_t* line;
        unsigned long exitCode;
    } cases[] = {{L"Background", L"InvokeCommand offset 0 of Sample: S_OK", 0},
                 {L"0", L"InvokeCommand offset 0 of Sample: S_OK", 0},
                 {L"7", L"InvokeCommand offset 7 of Sample: failed with 0x80070057", 2}};
    for (const Case& c : cases) {
        const HostRun run = Host({L"--texts", L"--invoke", c.item, m_folder.Path()});
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back(), c.line);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.item;
    }
    EXPECT_EQ(Host({L"--invoke", L"No such item", m_folder.Path()}).exitCode, 2u);
}

TEST_F(ShellHost, RefusesABadCommandLineAndAPathTheShellCannotParse) {
    EXPECT_EQ(RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), {L"--first"}).exitCode, 1u);
    EXPECT_EQ(Host({m_folder.Path() + L"\\missing"}).exitCode, 2u);
    EXPECT_EQ(Host({L"--submenu", L"Nothing", m_folder.Path()}).exitCode, 2u);
}

// These need the display that the test's runner starts.
TEST_F(ShellHost, ShowsTheMenuWithTheSubmenuOpenAndClosesIt) {
    const HostRun run = Host({L"--texts", L"--submenu", L"Sample", L"--show", L"1", m_folder.Path()});
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], L"menu shown");
    EXPECT_EQ(run.lines.back(), L"menu closed");
}

TEST_F(ShellHost, ClosesTheWindowAnInvokedCommandOpens) {
    const HostRun run = Host({L"--texts", L"--invoke", L"Say hello", L"--dialogs", L"1", m_folder.Path()});
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], L"window \"Sample\" (#32770)");
    EXPECT_EQ(run.lines.back(), L"InvokeCommand offset 1 of Sample: S_OK");
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
