// Writes the installer's WiX source from its template, with the registry
// entries that the DLL's registration scripts produce for the installed file,
// and the Registry table that the built package must hold:
//   tessaly-installer-source TEMPLATE APPID_SCRIPT HANDLER_SCRIPT APPLICATION_ID FILE_ID OUT_WXS OUT_TABLE
// The template's one line holding @REGISTRY@ is replaced by the entries; the
// DLL is taken from the folder wixl runs in.
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
    if (argc != 8)
        return Fail("usage: TEMPLATE APPID_SCRIPT HANDLER_SCRIPT APPLICATION_ID FILE_ID OUT_WXS OUT_TABLE");
    std::string templateText, appIdScript, handlerScript;
    if (!ReadFile(argv[1], templateText)) return Fail(std::string("cannot read ") + argv[1]);
    if (!ReadFile(argv[2], appIdScript)) return Fail(std::string("cannot read ") + argv[2]);
    if (!ReadFile(argv[3], handlerScript)) return Fail(std::string("cannot read ") + argv[3]);

    // The scripts are 8-bit text in the system's code page, as the DLL reads them.
    const Scripts scripts{tessaly::platform::NarrowToWide(appIdScript, CodePage::SystemAnsi),
                          tessaly::platform::NarrowToWide(handlerScript, CodePage::SystemAnsi)};
    const std::wstring applicationId = tessaly::platform::NarrowToWide(argv[4], CodePage::SystemAnsi);
    const std::wstring modulePath = L"[#" + tessaly::platform::NarrowToWide(argv[5], CodePage::SystemAnsi) + L"]";

    std::vector<RegistryRow> rows;
    std::wstring error;
    const auto result = RegistrationRows(scripts, applicationId, modulePath, rows, error);
    if (tessaly::hr::Failed(result)) {
        char code[16];
        std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(result));
        return Fail(tessaly::platform::WideToNarrow(error, CodePage::SystemAnsi) + " (" + code + ")");
    }

    const std::wstring source = tessaly::platform::NarrowToWide(templateText, CodePage::SystemAnsi);
    const std::size_t mark = source.find(L"@REGISTRY@");
    if (mark == std::wstring::npos || source.find(L"@REGISTRY@", mark + 1) != std::wstring::npos)
        return Fail("the template needs exactly one @REGISTRY@ line");
    const std::size_t lineStart = source.rfind(L'\n', mark) + 1;  // npos + 1 is 0
    const std::size_t lineEnd = source.find(L'\n', mark);
    const std::wstring indent = source.substr(lineStart, source.find_first_not_of(L" \t", lineStart) - lineStart);
    const std::wstring wxs = source.substr(0, lineStart) + WixElements(rows, indent) +
                             (lineEnd == std::wstring::npos ? L"" : source.substr(lineEnd + 1));

    std::wstring table;
    for (const std::wstring& line : TableLines(rows)) table += line + L"\n";
    if (!WriteFile(argv[6], wxs)) return Fail(std::string("cannot write ") + argv[6]);
    if (!WriteFile(argv[7], table)) return Fail(std::string("cannot write ") + argv[7]);
    return 0;
}
