// The scan benchmark's system needs on the host.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "bench/scan/BenchSystem.h"
#include "platform/posix/CalendarMath.h"
#include "platform/posix/Utf8.h"

extern char** environ;

namespace tessaly::bench {

namespace {
std::string Native(const std::wstring& path) { return platform::WideToUtf8(path); }

timespec ToTimespec(FileTimeCount count) {
    timespec time{};
    time.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(count / kTicksPerSecond) -
                                      platform::kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>(count % kTicksPerSecond) * 100;
    return time;
}
}  // namespace

std::wstring MakeTemporaryFolder(const std::wstring& base) {
    std::string folder = base.empty() ? "" : Native(base);
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    folder += "/tessaly-bench-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) throw std::runtime_error("cannot make the benchmark folder");
    return platform::Utf8ToWide(folder);
}

std::wstring MakeFolder(const std::wstring& parent, const std::wstring& name) {
    const std::wstring folder = parent + L"/" + name;
    if (mkdir(Native(folder).c_str(), 0755) != 0) throw std::runtime_error("cannot make a size folder");
    return folder;
}

void MakeFile(const std::wstring& folder, const std::wstring& name, FileTimeCount lastAccess,
              FileTimeCount lastWrite) {
    const int fd = open(Native(folder + L"/" + name).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd < 0) throw std::runtime_error("cannot make a file");
    const timespec times[2] = {ToTimespec(lastAccess), ToTimespec(lastWrite)};
    const int set = futimens(fd, times);
    close(fd);
    if (set != 0) throw std::runtime_error("cannot set a file's times");
}

void RemoveFolder(const std::wstring& folder) {
    const std::string path = Native(folder);
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") unlink((path + "/" + name).c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

std::uint64_t PeakMemory() {
    // VmHWM: the high-water mark of this process's own memory since it was
    // started (getrusage's ru_maxrss also holds what the parent had when it
    // spawned this process).
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    unsigned long long kilobytes = 0;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmHWM: %llu kB", &kilobytes) == 1) break;
    std::fclose(status);
    return kilobytes * 1024;
}

std::wstring SelfPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) throw std::runtime_error("cannot find the program's path");
    return platform::Utf8ToWide(std::string(path, static_cast<size_t>(length)));
}

namespace {

enum class Output { Capture, Discard, Inherit };

// Spawns a program with its standard output going to a pipe (captured), to
// /dev/null or where this process's goes, and waits for it.
ProcessRun Spawn(const std::vector<std::string>& arguments, Output output, bool useFork) {
    const bool captureOutput = output == Output::Capture;
    ProcessRun run;
    std::vector<std::string> narrow = arguments;
    std::vector<char*> argv;
    for (std::string& argument : narrow) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (captureOutput && pipe(pipeFds) != 0) return run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (useFork) {
        // A real fork, so that the child's memory figures start from this
        // (small) process's, not from a shared address space.
        pid = fork();
        if (pid == 0) {
            if (captureOutput) {
                dup2(pipeFds[1], STDOUT_FILENO);
                close(pipeFds[0]);
                close(pipeFds[1]);
            } else if (output == Output::Discard) {
                const int null = open("/dev/null", O_WRONLY);
                dup2(null, STDOUT_FILENO);
                close(null);
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
    } else {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (captureOutput) {
            posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
            posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
        } else if (output == Output::Discard) {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        }
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    if (captureOutput) close(pipeFds[1]);
    if (pid < 0) {
        if (captureOutput) close(pipeFds[0]);
        return run;
    }
    if (captureOutput) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<size_t>(got));
        close(pipeFds[0]);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMemory = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

}  // namespace

int MeasureProcess(const std::vector<std::string>& arguments, bool keepOutput) {
    // Runs in a fresh, small process: the child forked from here starts from
    // this process's memory, not from the benchmark's.
    const ProcessRun run = Spawn(arguments, keepOutput ? Output::Inherit : Output::Discard, true);
    std::fflush(stdout);
    std::printf("measured %d %.9f %llu\n", run.ok ? 1 : 0, run.seconds,
                static_cast<unsigned long long>(run.peakMemory));
    return run.ok ? 0 : 1;
}

ProcessRun RunProcess(const std::vector<std::wstring>& arguments, bool captureOutput) {
    std::vector<std::string> narrow;
    for (const std::wstring& argument : arguments) narrow.push_back(Native(argument));
    return Spawn(narrow, captureOutput ? Output::Capture : Output::Discard, false);
}

ProcessRun RunMeasured(const std::vector<std::wstring>& arguments, bool keepOutput) {
    std::vector<std::string> narrow{Native(SelfPath()), keepOutput ? "--measure" : "--measure-quiet"};
    for (const std::wstring& argument : arguments) narrow.push_back(Native(argument));
    ProcessRun helper = Spawn(narrow, Output::Capture, false);
    ProcessRun run;
    const size_t at = helper.output.rfind("measured ");
    int ok = 0;
    double seconds = 0;
    unsigned long long peak = 0;
    if (!helper.ok || at == std::string::npos ||
        std::sscanf(helper.output.c_str() + at, "measured %d %lf %llu", &ok, &seconds, &peak) != 3)
        return run;
    run.ok = ok == 1;
    run.seconds = seconds;
    run.peakMemory = peak;
    run.output = helper.output.substr(0, at);
    return run;
}

Reference ReferenceKind() { return Reference{"ls -t -u", "ls -t -u", true}; }

ProcessRun RunReference(const std::wstring& folder) { return RunMeasured({L"ls", L"-t", L"-u", folder}, false); }

std::string ReferenceDescription() {
    const ProcessRun version = RunProcess({L"ls", L"--version"}, true);
    const std::string first = version.output.substr(0, version.output.find('\n'));
    return "reference: " + (first.empty() ? std::string("ls (version unknown)") : first) + ", run as a process";
}

}  // namespace tessaly::bench
