// The installer under Wine, in this test's own prefix, as a user runs it:
// msiexec installs the DLL and exactly the registry entries that
// DllRegisterServer writes for the installed path, with the Add/Remove
// Programs entry a user expects; the shell host finds the handler through
// them; installing again, repairing and updating to a later build keep one
// product as a fresh install leaves it; and msiexec /x (typed, or started by
// the options sheet's Uninstall button) takes everything away again.
#include <windows.h>
#include <msi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "HostProcess.h"
#include "RegistrationEntries.h"
#include "resources/StringTexts.h"
#include "RegistryContents.h"
#include "SystemRegistryContents.h"
#include "TempFolder.h"

namespace tessaly::testing {
namespace {

const wchar_t kProductCode[] = L"{DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}";
const std::wstring kCompanyFolder = L"C:\\Program Files\\Quenbridge";
const std::wstring kInstallFolder = kCompanyFolder + L"\\Tessaly";
const std::wstring kUninstallKey =
    std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProductCode;
const std::wstring kInstalledDll = kInstallFolder + L"\\Tessaly64_10000.dll";

// Every area registration writes, compared whole.
Lines Watched() { return WatchedAreas(kMachineClasses); }

// The keys registration keeps (NoRemove) as far as they lie in the watched areas.
Lines WithoutKeptKeys(Lines lines) {
    const Lines kept = KeptKeys(kMachineClasses);
    Lines rest;
    for (const std::wstring& line : lines)
        if (std::find(kept.begin(), kept.end(), line) == kept.end()) rest.push_back(line);
    return rest;
}

std::string Bytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long Msiexec(const std::vector<std::wstring>& arguments) {
    const HostRun run = RunProgram(L"msiexec", arguments, 120000);
    return run.timedOut ? 0xFFFFFFFFul : run.exitCode;
}

HostRun ShellHost(const std::vector<std::wstring>& arguments) {
    return RunProgram(WindowsPathOf(TESSALY_SHELL_EXE), arguments);
}

void SetSetting(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quenbridge\\Tessaly", 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
}

// What DllRegisterServer writes when the DLL stands where the installer puts it.
Lines SelfRegisteredAtTheInstalledPath() {
    ::CreateDirectoryW(L"C:\\Program Files\\Quenbridge", nullptr);
    ::CreateDirectoryW(kInstallFolder.c_str(), nullptr);
    EXPECT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_DLL).c_str(), kInstalledDll.c_str(), FALSE));
    Lines registered;
    if (HMODULE dll = ::LoadLibraryW(kInstalledDll.c_str())) {
        using Export = HRESULT(STDAPICALLTYPE*)();
        auto reg = reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllRegisterServer")));
        auto unreg = reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllUnregisterServer")));
        EXPECT_EQ(reg(), S_OK);
        registered = ContentsOfSystemRegistry(Watched());
        EXPECT_EQ(unreg(), S_OK);
        ::FreeLibrary(dll);
    } else {
        ADD_FAILURE() << "cannot load the DLL at the installed path";
    }
    ::DeleteFileW(kInstalledDll.c_str());
    ::RemoveDirectoryW(kInstallFolder.c_str());
    ::RemoveDirectoryW(L"C:\\Program Files\\Quenbridge");
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
    const Lines before = ContentsOfSystemRegistry(Watched());
    const std::wstring msi = WindowsPathOf(TESSALY_MSI);

    ASSERT_EQ(Msiexec({L"/i", msi, L"/qn"}), 0u);
    ASSERT_TRUE(Exists(kInstalledDll));
    EXPECT_EQ(Bytes(kInstalledDll), Bytes(WindowsPathOf(TESSALY_DLL)));
    const Lines installed = ContentsOfSystemRegistry(Watched());
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

    ASSERT_EQ(Msiexec({L"/x", kProductCode, L"/qn"}), 0u);
    EXPECT_FALSE(Exists(kCompanyFolder));
    EXPECT_FALSE(Exists(icon));
    EXPECT_EQ(WithoutKeptKeys(ContentsOfSystemRegistry(Watched())), WithoutKeptKeys(before));

    EXPECT_EQ(SelfRegisteredAtTheInstalledPath(), installed);
}

// Installing the same package again, repairing (what the Repair button of
// Add/Remove Programs asks the installer for) and updating to a later build
// with the same product code, as README.md says: each time one product,
// the right DLL, the registry as a fresh install leaves it.
TEST(Installer, ReinstallRepairAndUpdateKeepOneProductAsAFreshInstallLeavesIt) {
    const Lines before = ContentsOfSystemRegistry(Watched());
    ASSERT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    const Lines fresh = ContentsOfSystemRegistry(Watched());
    const std::string firstDll = Bytes(WindowsPathOf(TESSALY_DLL));

    EXPECT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 1);
    EXPECT_EQ(Bytes(kInstalledDll), firstDll);
    EXPECT_EQ(ContentsOfSystemRegistry(Watched()), fresh);

    // A lost DLL and registration come back.
    ASSERT_TRUE(::DeleteFileW(kInstalledDll.c_str()));
    RemoveFromSystemRegistry({L"HKCR\\CLSID\\" TESSALY_HANDLER_CLASS});
    EXPECT_EQ(::MsiReinstallProductW(kProductCode, REINSTALLMODE_FILEMISSING | REINSTALLMODE_FILEOLDERVERSION |
                                                       REINSTALLMODE_FILEVERIFY | REINSTALLMODE_MACHINEDATA |
                                                       REINSTALLMODE_USERDATA | REINSTALLMODE_SHORTCUT),
              0u);
    EXPECT_EQ(Bytes(kInstalledDll), firstDll);
    EXPECT_EQ(ContentsOfSystemRegistry(Watched()), fresh);

    const std::string laterDll = Bytes(WindowsPathOf(TESSALY_LATER_DLL));
    ASSERT_NE(laterDll, firstDll);
    EXPECT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_LATER_MSI), L"REINSTALL=ALL", L"REINSTALLMODE=vomus", L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 1);
    EXPECT_EQ(EntryValue(L"DisplayVersion"), TESSALY_LATER_PRODUCT_VERSION);
    EXPECT_EQ(Bytes(kInstalledDll), laterDll);
    EXPECT_EQ(ContentsOfSystemRegistry(Watched()), fresh);

    ASSERT_EQ(Msiexec({L"/x", kProductCode, L"/qn"}), 0u);
    EXPECT_EQ(TessalyEntries(), 0);
    EXPECT_FALSE(Exists(kCompanyFolder));
    EXPECT_EQ(WithoutKeptKeys(ContentsOfSystemRegistry(Watched())), WithoutKeptKeys(before));
}

// The user's way out: Options..., the Uninstall page, its button. msiexec
// runs on its own after the sheet closed; the test waits for it to finish.
// The DLL itself is in use by the process that showed the sheet while the
// uninstaller runs, as it is in the file manager: Wine's installer then
// leaves the file behind (Windows would remove it at the next restart), so
// what is checked is that nothing of Tessaly stays registered.
TEST(Installer, UninstallButtonOfTheOptionsSheetRemovesTheProduct) {
    const Lines before = ContentsOfSystemRegistry(Watched());
    ASSERT_EQ(Msiexec({L"/i", WindowsPathOf(TESSALY_MSI), L"/qn"}), 0u);
    ASSERT_TRUE(ProductRegistered());
    TempFolder folder;
    const HostRun run =
        ShellHost({L"--texts", L"--invoke", L"Options...", L"--dialogs", L"2", L"--click", L"Uninstall", folder.Path()});
    Show(run);
    ASSERT_FALSE(run.timedOut);
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), L"clicking \"Uninstall\""), run.lines.end());

    Lines after;
    for (int wait = 0; wait < 600; ++wait) {
        after = WithoutKeptKeys(ContentsOfSystemRegistry(Watched()));
        if (!ProductRegistered() && after == WithoutKeptKeys(before)) break;
        ::Sleep(100);
    }
    EXPECT_FALSE(ProductRegistered());
    EXPECT_EQ(after, WithoutKeptKeys(before));
    // The next right-click finds no Tessaly.
    const HostRun next = ShellHost({folder.Path()});
    EXPECT_EQ(next.exitCode, 2u);
    EXPECT_EQ(std::find(next.lines.begin(), next.lines.end(), L"Tessaly >  [submenu, picture]"), next.lines.end());
}

}  // namespace
}  // namespace tessaly::testing
