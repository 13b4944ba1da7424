// Stands in for Windows PowerShell under the installer's package actions:
// appends one line to the file TESSALY_POWERSHELL_RECORD names (UTF-8): the
// script given with -File, whether it is there, and the verb after it,
// tab-separated; writes one line as the script would; exits with
// TESSALY_POWERSHELL_EXIT (0 when unset). Copied to where the actions look
// for powershell.exe.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring script, verb;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"-File") {
            script = argv[i + 1];
            verb = i + 2 < argc ? argv[i + 2] : L"";
        }
    }
    const bool found = !script.empty() && ::GetFileAttributesW(script.c_str()) != INVALID_FILE_ATTRIBUTES;

    wchar_t record[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", record, MAX_PATH) > 0) {
        if (FILE* file = ::_wfopen(record, L"ab")) {
            std::fprintf(file, "%s\t%d\t%s\n", Utf8(script).c_str(), found ? 1 : 0, Utf8(verb).c_str());
            std::fclose(file);
        }
    }
    wchar_t exitText[16] = {};
    ::GetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", exitText, 16);
    const int exitCode = std::wcstol(exitText, nullptr, 10);
    if (exitCode == 0)
        std::printf("stand-in %s with %s\n", Utf8(verb).c_str(), Utf8(script).c_str());
    else
        std::printf("%s failed: the stand-in fails with %d\n", Utf8(verb).c_str(), exitCode);
    return exitCode;
}
