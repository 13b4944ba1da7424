#include "ChildProcess.h"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/HandleOwners.h"
#include "tests/support/ProcessStart.h"

namespace tessaly::testing {

unsigned RunProgram(const std::wstring& commandLine, std::string& output, unsigned timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
    platform::FileHandle reader(readEnd);
    platform::FileHandle writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!StartProcess(line.data(), true, startup, process))
        throw std::runtime_error("cannot start a program: error " + std::to_string(::GetLastError()));
    platform::FileHandle processHandle(process.hProcess);
    platform::FileHandle threadHandle(process.hThread);
    writer.reset();  // the child holds the only write end now

    output.clear();
    const auto drain = [&] {
        DWORD available = 0;
        while (::PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!::ReadFile(reader.get(), buffer, sizeof(buffer), &read, nullptr) || read == 0) return;
            output.append(buffer, read);
        }
    };
    const DWORD startTime = ::GetTickCount();
    for (;;) {
        drain();
        if (::WaitForSingleObject(processHandle.get(), 20) == WAIT_OBJECT_0) break;
        if (::GetTickCount() - startTime > timeoutMs) {
            ::TerminateProcess(processHandle.get(), 255);
            throw std::runtime_error("a program did not end in time");
        }
    }
    drain();
    DWORD code = 0;
    ::GetExitCodeProcess(processHandle.get(), &code);
    return code;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace tessaly::testing
