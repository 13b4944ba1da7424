#include "tools/installer/actions/PowerShellRun.h"

#include <windows.h>

#include <string>

#include "platform/win/HandleOwners.h"

namespace tessaly::installer {
namespace {

using platform::FileHandle;

std::wstring SystemMessage(DWORD error) {
    wchar_t text[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                          0, text, ARRAYSIZE(text), nullptr);
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message + L" (" + std::to_wstring(error) + L")";
}

// The commands write UTF-8; PowerShell's own complaints before it runs come
// in the console's code page.
std::wstring Decoded(const std::string& bytes) {
    if (bytes.empty()) return {};
    UINT codePage = CP_UTF8;
    int size = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (size == 0) {
        codePage = CP_OEMCP;
        size = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::vector<std::wstring> NonEmptyLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Appends what the pipe holds now, without waiting for more.
void Drain(HANDLE pipe, std::string& bytes) {
    DWORD available = 0;
    while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!::ReadFile(pipe, buffer, available < sizeof(buffer) ? available : sizeof(buffer), &read, nullptr) ||
            read == 0)
            return;
        bytes.append(buffer, read);
    }
}

// The installer gives a folder with a backslash at its end; the package's
// external location is the folder itself.
std::wstring WithoutTrailingBackslash(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// Sets the variable for the processes started while it lives; the one
// command that needs no folder gets none, not an earlier command's.
class FolderVariable {
public:
    explicit FolderVariable(const std::wstring& folder) {
        ::SetEnvironmentVariableW(kFolderVariable, folder.empty() ? nullptr : folder.c_str());
    }
    ~FolderVariable() { ::SetEnvironmentVariableW(kFolderVariable, nullptr); }
    FolderVariable(const FolderVariable&) = delete;
    FolderVariable& operator=(const FolderVariable&) = delete;
};

}  // namespace

PowerShellOutcome RunPackageCommand(PackageVerb verb, const std::wstring& folder, unsigned long timeoutMs) {
    PowerShellOutcome outcome;
    wchar_t system[MAX_PATH] = {};
    const UINT systemLength = ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring powerShell =
        std::wstring(system, systemLength < MAX_PATH ? systemLength : 0) + L"\\WindowsPowerShell\\v1.0\\powershell.exe";

    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        outcome.ending = L"could not make a pipe for PowerShell's output: " + SystemMessage(::GetLastError());
        return outcome;
    }
    FileHandle output(readEnd), childOutput(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    FileHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                   0, nullptr));

    // A command, not a script file: the execution policy, Group Policy's
    // included, does not apply to it (Bypass only lets PowerShell load its
    // own Appx module's script where no policy says otherwise).
    std::wstring commandLine = L"\"" + powerShell +
                               L"\" -NoLogo -NoProfile -NonInteractive -ExecutionPolicy Bypass -EncodedCommand " +
                               Base64OfUtf16(CommandText(verb));
    const FolderVariable variable(NeedsFolder(verb) ? WithoutTrailingBackslash(folder) : std::wstring());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    // Not in the install folder: a process whose working directory it is
    // (the console host of a console program may outlive the program) would
    // keep a removal from deleting it.
    if (!::CreateProcessW(powerShell.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          system, &startup, &process)) {
        outcome.ending = L"could not start " + powerShell + L": " + SystemMessage(::GetLastError());
        return outcome;
    }
    FileHandle child(process.hProcess), thread(process.hThread);
    childOutput.reset();  // the child's copy is the only writer left

    std::string bytes;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    bool finished = false;
    while (!finished && ::GetTickCount64() < deadline) {
        finished = ::WaitForSingleObject(child.get(), 100) == WAIT_OBJECT_0;
        Drain(output.get(), bytes);
    }
    if (!finished) {
        ::TerminateProcess(child.get(), ERROR_TIMEOUT);
        ::WaitForSingleObject(child.get(), 5000);
        Drain(output.get(), bytes);
        outcome.ending = L"PowerShell did not finish within " + std::to_wstring(timeoutMs / 1000) +
                         L" seconds and was stopped";
    } else {
        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.get(), &exitCode);
        outcome.ending = L"PowerShell exited with code " + std::to_wstring(exitCode);
    }
    outcome.lines = NonEmptyLines(Decoded(bytes));
    return outcome;
}

}  // namespace tessaly::installer
