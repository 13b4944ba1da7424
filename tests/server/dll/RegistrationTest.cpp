// Registration through the DLL's own exports on the real registry, and
// through regsvr32 as users run it; then activation through the registry as
// the shell does it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../RegistrationEntries.h"
#include "../SystemRegistryContents.h"
#include "ChildProcess.h"
#include "LoadedServer.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

const HRESULT kAccessDenied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

Lines Watched() { return Union(WatchedAreas(kMachineClasses), WatchedAreas(kUserClasses)); }
Lines Registered(const std::wstring& classes, const std::wstring& modulePath) {
    return Within(State({AppIdEntries(classes), HandlerClassEntries(classes, modulePath), ApprovalEntry()}),
                  Watched());
}
Lines Kept(const std::wstring& classes) { return Within(KeptKeys(classes), Watched()); }

class RegistrationTest : public ::testing::Test {
protected:
    ~RegistrationTest() override { RemoveFromSystemRegistry(Watched()); }
    Lines Now() const { return ContentsOfSystemRegistry(Watched()); }

    const Lines before = ContentsOfSystemRegistry(Watched());
    const std::wstring path = BuiltDllPath();
};

TEST_F(RegistrationTest, RegistersExactlyItsEntriesAndUnregistersAllButTheNoRemoveKeys) {
    LoadedServer server;
    ASSERT_EQ(S_OK, server.RegisterServer());
    EXPECT_EQ(Union(before, Registered(kMachineClasses, path)), Now());
    ASSERT_EQ(S_OK, server.UnregisterServer());
    EXPECT_EQ(Union(before, Kept(kMachineClasses)), Now());
    EXPECT_EQ(S_OK, server.UnregisterServer());  // nothing left to remove
}

// The scripts are read in the system's locale; the caller's comes back.
TEST_F(RegistrationTest, EachExportGivesTheCallerItsThreadLocaleBack) {
    LoadedServer server;
    const LCID caller = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    ASSERT_NE(caller, ::GetSystemDefaultLCID());
    ASSERT_TRUE(::SetThreadLocale(caller));
    EXPECT_EQ(S_OK, server.RegisterServer());
    EXPECT_EQ(::GetThreadLocale(), caller) << "DllRegisterServer";
    EXPECT_EQ(S_OK, server.UnregisterServer());
    EXPECT_EQ(::GetThreadLocale(), caller) << "DllUnregisterServer";
    EXPECT_EQ(S_OK, server.Install(FALSE, nullptr));
    EXPECT_EQ(::GetThreadLocale(), caller) << "DllInstall";
    ::SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST_F(RegistrationTest, RegisteringAgainClearsWhatAnEarlierVersionLeftUnderForceRemoveKeys) {
    LoadedServer server;
    ASSERT_EQ(S_OK, server.RegisterServer());
    const std::wstring classKey = L"CLSID\\" TESSALY_HANDLER_CLASS;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CLASSES_ROOT, classKey.c_str(), L"Stale", REG_SZ, L"x", 4));
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CLASSES_ROOT, (classKey + L"\\Old").c_str(), nullptr, REG_SZ,
                                               L"x", 4));
    ASSERT_EQ(S_OK, server.RegisterServer());
    EXPECT_EQ(Union(before, Registered(kMachineClasses, path)), Now());
}

TEST_F(RegistrationTest, AKeyThatOtherSoftwareGaveASubkeySurvivesUnregistration) {
    LoadedServer server;
    ASSERT_EQ(S_OK, server.RegisterServer());
    const std::wstring classKey = kMachineClasses + L"\\CLSID\\" TESSALY_HANDLER_CLASS;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CLASSES_ROOT, L"CLSID\\" TESSALY_HANDLER_CLASS L"\\ProgID",
                                               nullptr, REG_SZ, L"Other.1", 16));
    ASSERT_EQ(S_OK, server.UnregisterServer());
    EXPECT_EQ(Union(before, Within(State({KeptKeys(kMachineClasses), Value(classKey, L"", L"TessalyShExt Class"),
                                          Value(classKey + L"\\ProgID", L"", L"Other.1")}),
                                   Watched())),
              Now());
}

TEST_F(RegistrationTest, AModulePathWithAQuoteAndCharactersOutsideTheCodePageIsStoredIntact) {
    const std::wstring folder = L"C:\\Team's Tools \u03A9\u00EB";
    const std::wstring copy = folder + L"\\Tessaly64_10000.dll";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(path.c_str(), copy.c_str(), TRUE));
    {
        LoadedServer server(copy);
        ASSERT_EQ(S_OK, server.RegisterServer());
        EXPECT_EQ(Union(before, Registered(kMachineClasses, copy)), Now());
        EXPECT_EQ(S_OK, server.UnregisterServer());
    }
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(RegistrationTest, PerUserInstallRegistersUnderTheUsersClassesFromThenOn) {
    LoadedServer server;
    ASSERT_EQ(S_OK, server.Install(TRUE, L"user"));
    EXPECT_EQ(Union(before, Registered(kUserClasses, path)), Now());
    // The mode holds for the rest of the process.
    ASSERT_EQ(S_OK, server.RegisterServer());
    EXPECT_EQ(Union(before, Registered(kUserClasses, path)), Now());
    ASSERT_EQ(S_OK, server.Install(FALSE, L"USER"));
    EXPECT_EQ(Union(before, Kept(kUserClasses)), Now());
}

TEST_F(RegistrationTest, OtherCommandLinesRegisterMachineWide) {
    for (const wchar_t* commandLine : {static_cast<const wchar_t*>(nullptr), L"users", L"", L"use"}) {
        LoadedServer server;
        ASSERT_EQ(S_OK, server.Install(TRUE, commandLine));
        EXPECT_EQ(Union(before, Registered(kMachineClasses, path)), Now());
        ASSERT_EQ(S_OK, server.Install(FALSE, commandLine));
    }
}

TEST_F(RegistrationTest, PerUserInstallWithoutWriteAccessToTheApprovalListTakesBackWhatItCan) {
    const std::wstring approved = kApprovedKey.substr(5);  // below HKLM
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, approved.c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                                               &created, nullptr));
    ::RegCloseKey(created);
    const Lines start = Now();
    {
        ReadOnlyKey readOnly(approved.c_str());
        ASSERT_TRUE(readOnly.Applied());
        HKEY probe = nullptr;
        ASSERT_EQ(ERROR_ACCESS_DENIED, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, approved.c_str(), 0, KEY_WRITE, &probe));

        LoadedServer server;
        EXPECT_EQ(kAccessDenied, server.Install(TRUE, L"user"));
    }
    // The class script's user entries went again; the unregistration stopped
    // at the approval block, so the application identifier stays.
    EXPECT_EQ(Union(start, Within(State({AppIdEntries(kUserClasses), KeptKeys(kUserClasses)}), Watched())), Now());
}

TEST_F(RegistrationTest, Regsvr32RegistersAndRemovesInBothModes) {
    struct Case {
        const wchar_t* install;
        const wchar_t* uninstall;
        const std::wstring& classes;
    };
    const Case cases[] = {{L"/s", L"/u /s", kMachineClasses}, {L"/n /i:user /s", L"/u /n /i:user /s", kUserClasses}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.install);
        const Lines start = Now();
        std::string output;
        EXPECT_EQ(0u, RunProgram(L"regsvr32.exe " + std::wstring(c.install) + L" \"" + path + L"\"", output));
        EXPECT_EQ(Union(start, Registered(c.classes, path)), Now());
        EXPECT_EQ(0u, RunProgram(L"regsvr32.exe " + std::wstring(c.uninstall) + L" \"" + path + L"\"", output));
        EXPECT_EQ(Union(start, Kept(c.classes)), Now());
    }
}

TEST_F(RegistrationTest, TheShellFindsTheRegisteredHandlerThroughTheRegistryOnly) {
    const std::wstring client = L"\"" + OwnFolder() + L"activate_handler.exe\"";
    TempFolder folder;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) folder.MakeFile(name);
    std::string output;
    ASSERT_EQ(0u, RunProgram(client, output));
    EXPECT_NE(std::string::npos, output.find("create 0x80040154")) << output;  // REGDB_E_CLASSNOTREG

    {
        LoadedServer server;
        ASSERT_EQ(S_OK, server.RegisterServer());
    }
    ASSERT_EQ(0u, RunProgram(client + L" \"" + folder.Path() + L"\"", output));
    EXPECT_NE(std::string::npos, output.find("create 0x00000000")) << output;
    // A new user's menu: the three files, a separator and "Options...", four ids.
    EXPECT_NE(std::string::npos, output.find("menu 0x00000004 items 5")) << output;

    {
        LoadedServer server;
        ASSERT_EQ(S_OK, server.UnregisterServer());
    }
    ASSERT_EQ(0u, RunProgram(client, output));
    EXPECT_NE(std::string::npos, output.find("create 0x80040154")) << output;
}

}  // namespace
}  // namespace tessaly::testing
