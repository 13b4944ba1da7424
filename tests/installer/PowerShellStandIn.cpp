// Stands in for Windows PowerShell under the installer's package actions,
// as under Group Policy's AllSigned: appends one line to the file
// TESSALY_POWERSHELL_RECORD names (UTF-8), tab-separated: its own path, the
// verb whose fixed command -EncodedCommand carries (or "unknown command",
// or "-File" and the script, which it refuses to run, unsigned), the
// install folder the command is given in its environment, and its whole
// command line; writes one line as the command would; exits with
// TESSALY_POWERSHELL_EXIT (0 when unset). Copied to where the actions look
// for powershell.exe, and where a bare name would find it.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/installer/actions/PackageCommands.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// The command as PowerShell reads -EncodedCommand: Base64 of UTF-16 text.
std::wstring Decoded(const wchar_t* base64) {
    DWORD size = 0;
    ::CryptStringToBinaryW(base64, 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr);
    std::vector<BYTE> bytes(size + 2);
    ::CryptStringToBinaryW(base64, 0, CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), size / sizeof(wchar_t));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring asked = L"nothing";
    bool script = false;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"-File") {
            asked = std::wstring(L"-File ") + argv[i + 1];
            script = true;
        } else if (std::wstring(argv[i]) == L"-EncodedCommand") {
            asked = L"unknown command";
            for (const auto verb : tessaly::installer::kPackageVerbs)
                if (Decoded(argv[i + 1]) == tessaly::installer::CommandText(verb))
                    asked = tessaly::installer::VerbName(verb);
        }
    }
    wchar_t self[MAX_PATH] = {}, folder[MAX_PATH] = {}, record[MAX_PATH] = {}, exitText[16] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::GetEnvironmentVariableW(tessaly::installer::kFolderVariable, folder, MAX_PATH);
    if (::GetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", record, MAX_PATH) > 0) {
        if (FILE* file = ::_wfopen(record, L"ab")) {
            std::fprintf(file, "%s\t%s\t%s\t%s\n", Utf8(self).c_str(), Utf8(asked).c_str(), Utf8(folder).c_str(),
                         Utf8(::GetCommandLineW()).c_str());
            std::fclose(file);
        }
    }
    if (script) {
        std::printf("%s cannot be loaded: it is not digitally signed.\n", Utf8(asked).c_str());
        return 1;
    }
    ::GetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", exitText, 16);
    const int exitCode = std::wcstol(exitText, nullptr, 10);
    if (exitCode == 0)
        std::printf("stand-in %s in %s\n", Utf8(asked).c_str(), Utf8(folder).c_str());
    else
        std::printf("%s failed: the stand-in fails with %d\n", Utf8(asked).c_str(), exitCode);
    return exitCode;
}
