// Stands in for Windows PowerShell under the installer's package actions.
// Appends one line to the file TESSALY_POWERSHELL_RECORD names (UTF-8),
// tab-separated: its own path, what it was asked to run (the verb whose
// fixed command -EncodedCommand carries, "unknown command", or "-File"
// and the script), the install folder the command is given in its
// environment, and its whole command line. As PowerShell does, it refuses
// a script file (never a command) when Group Policy sets AllSigned
// (HKLM\SOFTWARE\Policies\Microsoft\Windows\PowerShell), whatever
// -ExecutionPolicy says. Then it writes one line as the command would and
// exits with TESSALY_POWERSHELL_EXIT (0 when unset). Copied to where the
// actions look for powershell.exe, and where a bare name would find it.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/installer/actions/PackageCommands.h"

namespace {

using tessaly::installer::PackageVerb;

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Variable(const wchar_t* name) {
    wchar_t value[4096] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 4096);
    return length < 4096 ? std::wstring(value, length) : std::wstring();
}

// The command as PowerShell reads -EncodedCommand: Base64 of UTF-16 text.
std::wstring Decoded(const wchar_t* base64) {
    DWORD size = 0;
    if (!::CryptStringToBinaryW(base64, 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr)) return {};
    std::vector<BYTE> bytes(size);
    if (!::CryptStringToBinaryW(base64, 0, CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr)) return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), size / sizeof(wchar_t));
}

bool AllSignedByPolicy() {
    wchar_t policy[32] = {};
    DWORD size = sizeof(policy);
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Microsoft\\Windows\\PowerShell",
                          L"ExecutionPolicy", RRF_RT_REG_SZ, nullptr, policy, &size) == ERROR_SUCCESS &&
           ::lstrcmpiW(policy, L"AllSigned") == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring asked = L"nothing", script;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"-File") {
            script = argv[i + 1];
            asked = L"-File " + script;
        } else if (option == L"-EncodedCommand") {
            const std::wstring command = Decoded(argv[i + 1]);
            asked = L"unknown command";
            for (const PackageVerb verb : tessaly::installer::kPackageVerbs)
                if (command == tessaly::installer::CommandText(verb)) asked = tessaly::installer::VerbName(verb);
        }
    }
    const std::wstring folder = Variable(tessaly::installer::kFolderVariable);

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring record = Variable(L"TESSALY_POWERSHELL_RECORD");
    if (!record.empty()) {
        if (FILE* file = ::_wfopen(record.c_str(), L"ab")) {
            std::fprintf(file, "%s\t%s\t%s\t%s\n", Utf8(self).c_str(), Utf8(asked).c_str(), Utf8(folder).c_str(),
                         Utf8(::GetCommandLineW()).c_str());
            std::fclose(file);
        }
    }
    if (!script.empty() && AllSignedByPolicy()) {
        std::printf("File %s cannot be loaded. The file %s is not digitally signed.\n", Utf8(script).c_str(),
                    Utf8(script).c_str());
        return 1;
    }
    const int exitCode = std::wcstol(Variable(L"TESSALY_POWERSHELL_EXIT").c_str(), nullptr, 10);
    if (exitCode == 0)
        std::printf("stand-in %s in %s\n", Utf8(asked).c_str(), Utf8(folder).c_str());
    else
        std::printf("%s failed: the stand-in fails with %d\n", Utf8(asked).c_str(), exitCode);
    return exitCode;
}
