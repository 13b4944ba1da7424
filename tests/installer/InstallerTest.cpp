// The installer under Wine, in this test's own prefix, as a user runs it:
// msiexec installs both DLLs and exactly the registry entries that their
// DllRegisterServer writes for the installed paths, with the Add/Remove
// Programs entry a user expects; the shell host finds the handler through
// them; installing again, repairing and updating to a later build keep one
// product as a fresh install leaves it; and msiexec /x (typed, or started by
// the options sheet's Uninstall button) takes everything away again. The
// Windows 11 package's actions: InstallerPackageTest.cpp.
#include <windows.h>
#include <msi.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "HostProcess.h"
#include "InstallerSteps.h"
#include "RegistrationEntries.h"
#include "resources/StringTexts.h"
#include "RegistryContents.h"
#include "SystemRegistryContents.h"
#include "TempFolder.h"

namespace tessaly::testing {
namespace {

const std::wstring kUninstallKey =
    std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProductCode;
const std::wstring kCompanyFolder32 = L"C:\\Program Files (x86)\\Quenbridge";
const std::wstring kInstalledDll32 = kCompanyFolder32 + L"\\Tessaly\\Tessaly32_10000.dll";

// The keys registration keeps (NoRemove) as far as they lie in the watched
// areas, in either view.
Lines WithoutKeptKeys(Lines lines) {
    const Lines kept = KeptKeys(kMachineClasses);
    const auto isKept = [&](const std::wstring& line) {
        const std::wstring key = line.compare(0, kView32.size(), kView32) == 0 ? line.substr(kView32.size()) : line;
        return std::find(kept.begin(), kept.end(), key) != kept.end();
    };
    Lines rest;
    for (const std::wstring& line : lines)
        if (!isKept(line)) rest.push_back(line);
    return rest;
}

void SetSetting(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quenbridge\\Tessaly", 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
}

// What the DLLs' DllRegisterServer writes, each run by the regsvr32 of its
// bitness, when they stand where the installer puts them.
Lines SelfRegisteredAtTheInstalledPaths() {
    const std::vector<std::pair<std::wstring, std::wstring>> dlls = {
        {WindowsPathOf(TESSALY_DLL), kInstalledDll}, {WindowsPathOf(TESSALY_COMPANION_DLL), kInstalledDll32}};
    const auto regsvr32 = [](const std::wstring& dll, std::vector<std::wstring> arguments) {
        arguments.push_back(dll);
        return RunProgram(dll == kInstalledDll32 ? L"C:\\windows\\syswow64\\regsvr32.exe" : L"regsvr32.exe",
                          arguments).exitCode;
    };
    const auto folderOf = [](const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); };
    for (const auto& [built, installed] : dlls) {
        ::CreateDirectoryW(folderOf(folderOf(installed)).c_str(), nullptr);
        ::CreateDirectoryW(folderOf(installed).c_str(), nullptr);
        EXPECT_TRUE(::CopyFileW(built.c_str(), installed.c_str(), FALSE));
        EXPECT_EQ(regsvr32(installed, {L"/s"}), 0u) << installed;
    }
    const Lines registered = ContentsOfBothViews();
    for (const auto& [built, installed] : dlls) {
        EXPECT_EQ(regsvr32(installed, {L"/s", L"/u"}), 0u) << installed;
        ::DeleteFileW(installed.c_str());
        ::RemoveDirectoryW(folderOf(installed).c_str());
        ::RemoveDirectoryW(folderOf(folderOf(installed)).c_str());
    }
    return registered;
}

// Prints the host's lines in the test's output, for the record.
void Show(const HostRun& run) {
    for (const std::wstring& line : run.lines) std::printf("    %ls\n", line.c_str());
}

bool ProductRegistered() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A value of the product's Add/Remove Programs entry, as text ("<none>" when absent).
std::wstring EntryValue(const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                       &size) != ERROR_SUCCESS)
        return L"<none>";
    return type == REG_DWORD ? std::to_wstring(*reinterpret_cast<DWORD*>(data)) : std::wstring(data);
}

// How many Add/Remove Programs entries name Tessaly.
int TessalyEntries() {
    HKEY list = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_READ,
                        &list) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    wchar_t name[256];
    for (DWORD i = 0, length = ARRAYSIZE(name); ::RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr,
                                                                nullptr) == ERROR_SUCCESS;
         ++i, length = ARRAYSIZE(name)) {
        wchar_t display[256] = {};
        DWORD size = sizeof(display) - sizeof(wchar_t);
        if (::RegGetValueW(list, name, L"DisplayName", RRF_RT_REG_SZ, nullptr, display, &size) == ERROR_SUCCESS &&
            std::wstring(display) == L"Tessaly")
            ++count;
    }
    ::RegCloseKey(list);
    return count;
}

TEST(Installer, InstallsWhatRegistrationWritesDrivesTheMenuAndUninstallsCleanly) {
    const Lines before = ContentsOfBothViews();
    const std::wstring msi = WindowsPathOf(TESSALY_MSI);

    ASSERT_EQ(Msiexec({L"/i", msi, L"/qn"}), 0u);
    ASSERT_TRUE(Exists(kInstalledDll));
    EXPECT_EQ(Bytes(kInstalledDll), Bytes(WindowsPathOf(TESSALY_DLL)));
    EXPECT_EQ(Bytes(kInstalledDll32), Bytes(WindowsPathOf(TESSALY_COMPANION_DLL)));
    const Lines installed = ContentsOfBothViews();
    EXPECT_NE(installed, before);

    // The Add/Remove Programs entry: who made it, which version, where to
    // read about it, no Modify button but Repair, and the program's icon.
    EXPECT_EQ(EntryValue(L"Publisher"), L"Quenbridge");
    EXPECT_EQ(EntryValue(L"DisplayVersion"), TESSALY_PRODUCT_VERSION);
    EXPECT_EQ(EntryValue(L"HelpLink"), TEXT(TESSALY_TEXT_WEB_URL));
    EXPECT_EQ(EntryValue(L"URLInfoAbout"), TEXT(TESSALY_TEXT_WEB_URL));
    EXPECT_EQ(EntryValue(L"NoModify"), L"1");
    EXPECT_EQ(EntryValue(L"NoRepair"), L"<none>");
    wchar_t icon[MAX_PATH] = {};
    DWORD iconLength = MAX_PATH;
    ASSERT_EQ(::MsiGetProductInfoW(kProductCode, INSTALLPROPERTY_PRODUCTICON, icon, &iconLength), 0u);
    EXPECT_TRUE(Exists(icon)) << icon;

    // A right-click on a folder with three files, both lists on, ten files a list.
    TempFolder folder;
    for (const wchar_t* name : {L"alpha.txt", L"beta.txt", L"gamma.txt"}) folder.MakeFile(name);
    SetSetting(L"ShowRecentAccessed", 1);
    SetSetting(L"ShowRecentModified", 1);
    SetSetting(L"FileCount", 10);
    const HostRun full = ShellHost({folder.Path()});
    Show(full);
    EXPECT_EQ(full.exitCode, 0u);
    const HostRun texts = ShellHost({L"--texts", L"--submenu", L"Tessaly", folder.Path()});
    ASSERT_EQ(texts.lines.size(), 9u);
    for (std::size_t separator : {3u, 7u}) EXPECT_EQ(texts.lines[separator].find_first_not_of(L'-'), std::wstring::npos);
    EXPECT_EQ(texts.lines[8], L"Options...");
    for (const wchar_t* name : {L"alpha.txt", L"beta.txt", L"gamma.txt"}) {
        for (std::size_t first : {0u, 4u}) {
            const auto in = [&](std::size_t i) { return texts.lines[i].find(name) != std::wstring::npos; };
            EXPECT_TRUE(in(first) || in(first + 1) || in(first + 2)) << name;
        }
    }
    // A 32-bit program's right-click gets the same menu, from the 32-bit DLL.
    EXPECT_EQ(ShellHost({L"--texts", L"--submenu", L"Tessaly", folder.Path()}, TESSALY_COMPANION_SHELL).lines,
              texts.lines);

    ASSERT_EQ(Msiexec({L"/x", kProductCode, L"/qn"}), 0u);
    EXPECT_FALSE(Exists(kCompanyFolder));
    EXPECT_FALSE(Exists(kCompanyFolder32));
    EXPECT_FALSE(Exists(icon));
    EXPECT_EQ(WithoutKeptKeys(ContentsOfBothViews()), WithoutKeptKeys(before));
    EXPECT_EQ(ShellHost({folder.Path()}, TESSALY_COMPANION_SHELL).exitCode, 2u);  // no menu

    EXPECT_EQ(SelfRegisteredAtTheInstalledPaths(), installed);
}

// Installing the same package again, repairing (what the Repair button of
// Add/Remove Programs asks the installer for) and updating to a later build
// with the same product code, as README.md says: each time one product,
// the right DLL, the registry as a fresh install leaves it.
TEST(Installer, ReinstallRepairAndUpdateKeepOneProductAsAFreshInstallLeavesIt) {
    const Lines before = ContentsOfBothViews();
    ASSERT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    const Lines fresh = ContentsOfBothViews();
    const std::string firstDll = Bytes(WindowsPathOf(TESSALY_DLL));

    EXPECT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 1);
    EXPECT_EQ(Bytes(kInstalledDll), firstDll);
    EXPECT_EQ(ContentsOfBothViews(), fresh);

    // A lost DLL and registration come back.
    ASSERT_TRUE(::DeleteFileW(kInstalledDll.c_str()));
    RemoveFromSystemRegistry({L"HKCR\\CLSID\\" TESSALY_HANDLER_CLASS});
    EXPECT_EQ(::MsiReinstallProductW(kProductCode, REINSTALLMODE_FILEMISSING | REINSTALLMODE_FILEOLDERVERSION |
                                                       REINSTALLMODE_FILEVERIFY | REINSTALLMODE_MACHINEDATA |
                                                       REINSTALLMODE_USERDATA | REINSTALLMODE_SHORTCUT),
              0u);
    EXPECT_EQ(Bytes(kInstalledDll), firstDll);
    EXPECT_EQ(ContentsOfBothViews(), fresh);

    const std::string laterDll = Bytes(WindowsPathOf(TESSALY_LATER_DLL));
    ASSERT_NE(laterDll, firstDll);
    EXPECT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_LATER_MSI), L"REINSTALL=ALL", L"REINSTALLMODE=vomus", L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 1);
    EXPECT_EQ(EntryValue(L"DisplayVersion"), TESSALY_LATER_PRODUCT_VERSION);
    EXPECT_EQ(Bytes(kInstalledDll), laterDll);
    EXPECT_EQ(ContentsOfBothViews(), fresh);

    ASSERT_EQ(Msiexec({L"/x", kProductCode, L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 0);
    EXPECT_FALSE(Exists(kCompanyFolder));
    EXPECT_EQ(WithoutKeptKeys(ContentsOfBothViews()), WithoutKeptKeys(before));
}

// The user's way out: Options..., the Uninstall page, its button. msiexec
// runs on its own after the sheet closed; the test waits for it to finish.
// The DLL itself is in use by the process that showed the sheet while the
// uninstaller runs, as it is in the file manager: Wine's installer then
// leaves the file behind (Windows would remove it at the next restart), so
// what is checked is that nothing of Tessaly stays registered.
void UninstallButtonOfTheOptionsSheetRemovesTheProduct(const char* host) {
    const Lines before = ContentsOfBothViews();
    ASSERT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    ASSERT_TRUE(ProductRegistered());
    TempFolder folder;
    const HostRun run = ShellHost(
        {L"--texts", L"--invoke", L"Options...", L"--dialogs", L"2", L"--click", L"Uninstall", folder.Path()}, host);
    Show(run);
    ASSERT_FALSE(run.timedOut);
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), L"clicking \"Uninstall\""), run.lines.end());

    Lines after;
    for (int wait = 0; wait < 600; ++wait) {
        after = WithoutKeptKeys(ContentsOfBothViews());
        if (!ProductRegistered() && after == WithoutKeptKeys(before)) break;
        ::Sleep(100);
    }
    EXPECT_FALSE(ProductRegistered());
    EXPECT_EQ(after, WithoutKeptKeys(before));
    // The next right-click finds no Tessaly.
    const HostRun next = ShellHost({folder.Path()}, host);
    EXPECT_EQ(next.exitCode, 2u);
    EXPECT_EQ(std::find(next.lines.begin(), next.lines.end(), L"Tessaly >  [submenu, picture]"), next.lines.end());
}

// In a 64-bit program (the 64-bit DLL's sheet) and in a 32-bit one (the 32-bit DLL's).
TEST(Installer, UninstallButtonOfTheOptionsSheetRemovesTheProduct) {
    for (const char* host : {TESSALY_SHELL_EXE, TESSALY_COMPANION_SHELL}) {
        SCOPED_TRACE(host);
        UninstallButtonOfTheOptionsSheetRemovesTheProduct(host);
    }
}

}  // namespace
}  // namespace tessaly::testing
