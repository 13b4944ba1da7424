#include "tools/installer/InstallerRegistry.h"

#include <gtest/gtest.h>

#include "tests/server/RegistrationEntries.h"

namespace tessaly::installer {
namespace {

using testing::kApplicationIdText;

Scripts ProductScripts() {
    return {testing::ReadRegistrationScript(TESSALY_RESOURCE_DIR, testing::AppIdScriptFile(64)),
            testing::ReadRegistrationScript(TESSALY_RESOURCE_DIR, "HandlerRegistration.rgs")};
}

TEST(InstallerRegistry, ProductScriptsGiveTheRegistrationEntriesWithTheInstalledFileAsModule) {
    std::vector<RegistryRow> rows;
    std::wstring error;
    ASSERT_EQ(RegistrationRows(ProductScripts(), kApplicationIdText, L"[#TessalyDll]", rows, error), hr::kOk) << error;
    const std::wstring handlers = L"\\ShellEx\\ContextMenuHandlers\\TessalyShExt\t\t" TESSALY_HANDLER_CLASS;
    const std::vector<std::wstring> expected = {
        L"0\tAppID\\Tessaly64.DLL\tAppID\t" + kApplicationIdText,
        L"0\tAppID\\" + kApplicationIdText + L"\t\tTessaly",
        L"0\tCLSID\\" TESSALY_HANDLER_CLASS L"\t\tTessalyShExt Class",
        L"0\tCLSID\\" TESSALY_HANDLER_CLASS L"\\InprocServer32\t\t[#TessalyDll]",
        L"0\tCLSID\\" TESSALY_HANDLER_CLASS L"\\InprocServer32\tThreadingModel\tApartment",
        L"0\tCLSID\\" TESSALY_HANDLER_CLASS L"\\Programmable\t*\t",
        L"0\tDirectory\\Background" + handlers,
        L"0\tDirectory" + handlers,
        L"0\tDrive" + handlers,
        L"2\tSoftware\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved\t" TESSALY_HANDLER_CLASS L"\tTessaly",
    };
    EXPECT_EQ(TableLines(rows), expected);

    const std::wstring wix = WixElements(rows, L"  ");
    EXPECT_NE(wix.find(L"  <RegistryValue Root=\"HKCR\" Key=\"CLSID\\" TESSALY_HANDLER_CLASS
                       L"\\InprocServer32\" Type=\"string\" Value=\"[#TessalyDll]\" />\n"),
              std::wstring::npos);
    EXPECT_NE(wix.find(L"  <RegistryValue Root=\"HKCR\" Key=\"CLSID\\" TESSALY_HANDLER_CLASS
                       L"\\Programmable\" Name=\"*\" Type=\"string\" Value=\"\" />\n"),
              std::wstring::npos);
}

TEST(InstallerRegistry, TextTheInstallerWouldReadAsInstructionsIsWrittenToStayText) {
    const Scripts scripts{L"HKCR\r\n{\r\n\tA[1] = s '#x [y] & <z>'\r\n}\r\n", L""};
    std::vector<RegistryRow> rows;
    std::wstring error;
    ASSERT_EQ(RegistrationRows(scripts, kApplicationIdText, L"[#F]", rows, error), hr::kOk) << error;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].key, L"A[\\[]1[\\]]");
    EXPECT_EQ(rows[0].value, L"##x [\\[]y[\\]] & <z>");
    EXPECT_EQ(WixElements(rows, L""),
              L"<RegistryValue Root=\"HKCR\" Key=\"A[\\[]1[\\]]\" Type=\"string\" Value=\"##x [\\[]y[\\]] &amp; &lt;z&gt;\" />\n");
}

TEST(InstallerRegistry, RefusesWhatItCannotWriteFaithfully) {
    std::vector<RegistryRow> rows;
    std::wstring error;
    EXPECT_TRUE(hr::Failed(RegistrationRows(ProductScripts(), kApplicationIdText, L"C:\\Team's\\T.dll", rows, error)));
    EXPECT_TRUE(hr::Failed(
        RegistrationRows({L"HKCR\r\n{\r\n\tA\r\n\t{\r\n\t\tval N = d 5\r\n\t}\r\n}\r\n", L""}, kApplicationIdText, L"[#F]", rows, error)));
    EXPECT_NE(error.find(L"not a text value"), std::wstring::npos);
    EXPECT_TRUE(hr::Failed(RegistrationRows({L"HKCR\r\n{\r\n", L""}, kApplicationIdText, L"[#F]", rows, error)));
}

}  // namespace
}  // namespace tessaly::installer
