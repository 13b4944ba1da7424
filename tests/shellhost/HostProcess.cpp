#include "HostProcess.h"

#include <windows.h>

#include <functional>
#include <thread>

#include "tests/support/ProcessStart.h"

namespace tessaly::testing {
namespace {

std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

std::vector<std::wstring> LinesOf(const std::string& bytes) {
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::wstring WindowsPathOf(const char* buildPath) {
    std::wstring path = L"Z:";
    for (const char* c = buildPath; *c != '\0'; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

HostRun RunProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                   unsigned long timeoutMs) {
    // Wine starts the desktop process the first time a process of the prefix
    // needs it, handing it that process's error output for good: were that
    // process the child, the desktop would hold the child's error pipe open
    // and the read below would never end. So this process starts it first.
    ::GetDesktopWindow();
    HostRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr, errorReadEnd = nullptr, errorWriteEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        run.exitCode = ::GetLastError();
        return run;
    }
    if (!::CreatePipe(&errorReadEnd, &errorWriteEnd, &inherit, 0)) {
        run.exitCode = ::GetLastError();
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        return run;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errorReadEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = Quoted(program);
    for (const std::wstring& argument : arguments) commandLine += L" " + Quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorWriteEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const bool started = StartProcess(commandLine.data(), true, startup, process);
    ::CloseHandle(writeEnd);
    ::CloseHandle(errorWriteEnd);
    if (!started) {
        run.exitCode = ::GetLastError();
        run.timedOut = false;
        ::CloseHandle(readEnd);
        ::CloseHandle(errorReadEnd);
        return run;
    }

    std::string output, errorOutput;
    const auto readAll = [](HANDLE pipe, std::string& into) {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0) into.append(buffer, read);
    };
    std::thread reader(readAll, readEnd, std::ref(output));
    std::thread errorReader(readAll, errorReadEnd, std::ref(errorOutput));
    if (::WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        run.timedOut = true;
        ::TerminateProcess(process.hProcess, 255);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    reader.join();
    errorReader.join();
    ::CloseHandle(readEnd);
    ::CloseHandle(errorReadEnd);
    run.lines = LinesOf(output);
    run.errors = LinesOf(errorOutput);
    return run;
}

}  // namespace tessaly::testing
