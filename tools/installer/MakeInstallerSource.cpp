// Writes the installer's WiX source from its template, with the registry
// entries that each DLL's registration scripts produce for its installed
// file, and the Registry table that the built package must hold:
//   tessaly-installer-source TEMPLATE HANDLER_SCRIPT APPLICATION_ID OUT_WXS OUT_TABLE
//       (COMPONENT FILE_ID APPID_SCRIPT)...
// One group per component that installs a DLL (the 64-bit one and its 32-bit
// companion): the template's one line holding @REGISTRY:COMPONENT@ is
// replaced by the entries of that DLL's registration (its own application
// identifier script, the handler script both share), with [#FILE_ID] as the
// module path. Each table line ends with the component. The DLLs are taken
// from the folder wixl runs in.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/TextCodec.h"
#include "tools/installer/InstallerRegistry.h"

namespace {

using tessaly::platform::CodePage;

bool ReadFile(const char* path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const char* path, const std::wstring& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << tessaly::platform::WideToNarrow(text, CodePage::SystemAnsi);
    return static_cast<bool>(file.flush());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tessaly-installer-source: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessaly::installer;
    if (argc < 9 || (argc - 6) % 3 != 0)
        return Fail("usage: TEMPLATE HANDLER_SCRIPT APPLICATION_ID OUT_WXS OUT_TABLE (COMPONENT FILE_ID APPID_SCRIPT)...");
    const auto wide = [](const std::string& text) { return tessaly::platform::NarrowToWide(text, CodePage::SystemAnsi); };
    std::string templateText, handlerScript;
    if (!ReadFile(argv[1], templateText)) return Fail(std::string("cannot read ") + argv[1]);
    if (!ReadFile(argv[2], handlerScript)) return Fail(std::string("cannot read ") + argv[2]);
    const std::wstring applicationId = wide(argv[3]);

    std::wstring wxs = wide(templateText);
    std::wstring table;
    for (int group = 6; group < argc; group += 3) {
        const std::wstring component = wide(argv[group]);
        std::string appIdScript;
        if (!ReadFile(argv[group + 2], appIdScript)) return Fail(std::string("cannot read ") + argv[group + 2]);
        // The scripts are 8-bit text in the system's code page, as the DLL reads them.
        const Scripts scripts{wide(appIdScript), wide(handlerScript)};
        const std::wstring modulePath = L"[#" + wide(argv[group + 1]) + L"]";

        std::vector<RegistryRow> rows;
        std::wstring error;
        const auto result = RegistrationRows(scripts, applicationId, modulePath, rows, error);
        if (tessaly::hr::Failed(result)) {
            char code[16];
            std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(result));
            return Fail(tessaly::platform::WideToNarrow(error, CodePage::SystemAnsi) + " (" + code + ")");
        }

        const std::wstring marker = L"@REGISTRY:" + component + L"@";
        const std::size_t mark = wxs.find(marker);
        if (mark == std::wstring::npos || wxs.find(marker, mark + 1) != std::wstring::npos)
            return Fail("the template needs exactly one " + tessaly::platform::WideToNarrow(marker, CodePage::SystemAnsi) +
                        " line");
        const std::size_t lineStart = wxs.rfind(L'\n', mark) + 1;  // npos + 1 is 0
        const std::size_t lineEnd = wxs.find(L'\n', mark);
        const std::wstring indent = wxs.substr(lineStart, wxs.find_first_not_of(L" \t", lineStart) - lineStart);
        wxs = wxs.substr(0, lineStart) + WixElements(rows, indent) +
              (lineEnd == std::wstring::npos ? L"" : wxs.substr(lineEnd + 1));
        for (const std::wstring& line : TableLines(rows)) table += line + L"\t" + component + L"\n";
    }

    if (!WriteFile(argv[4], wxs)) return Fail(std::string("cannot write ") + argv[4]);
    if (!WriteFile(argv[5], table)) return Fail(std::string("cannot write ") + argv[5]);
    return 0;
}
