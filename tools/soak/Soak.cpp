// The soak: from a seed, random but legal sequences of calls into the built
// DLL (tools/soak.sh runs it under Wine, without a display), each call
// checked against what the DLL may answer, each sequence ended by releasing
// everything, and the run by comparing heap and handle-table slots with where
// they were after a warm-up.
//
//   tessaly_soak.exe [--seconds N] [--seed S]
//       runs sequences 0, 1, ... of seed S for N seconds in a worker process
//       and prints "soak: <calls> calls, <sequences> sequences, <faults> faults".
//       A crash, a hang or a failed check is shortened to the fewest calls
//       that still fail the same way, each try in a process of its own, and
//       printed call by call; the exit status is then 1.
//   tessaly_soak.exe --seed S --sequence K [--calls I,J,...]
//       replays sequence K (only calls I, J, ... when given) and prints it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "tools/soak/SoakCalls.h"

using namespace tessaly;
using namespace tessaly::soak;

namespace {

constexpr DWORD kHung = 9;          // status given to a process that stopped making calls
constexpr DWORD kCheckFailed = 10;  // + the check's kind
constexpr DWORD kHangSeconds = 120;

struct Options {
    unsigned seconds = 600;
    std::uint64_t seed = 0;
    long sequence = -1;      // replay this one only
    std::vector<int> calls;  // of it, only these
    bool worker = false;
    bool quiet = false;     // a replay that only answers by its status
    std::wstring progress;  // the worker's progress record
};

// What the worker shows its supervisor, through shared memory.
struct Progress {
    volatile LONG sequence;
    volatile LONG64 calls;
    volatile LONG64 sequences;
};

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring CallList(const std::vector<int>& calls) {
    std::wstring list;
    for (int call : calls) list += (list.empty() ? L"" : L",") + std::to_wstring(call);
    return list;
}

// Everything a run needs, in a process of its own.
struct Session {
    explicit Session(bool print) : runner(server, places, lines, seen, print) {}
    Places places;
    testing::LoadedServer server;
    testing::DllDebugLines lines;
    ResultsSeen seen;
    Runner runner;
};

// What the process holds that a sequence must give back. Counting GDI and
// USER objects asks every handle slot (milliseconds under Wine), so a
// sequence is first measured by its heap alone.
struct Held {
    long long heap;
    testing::ResourceCounts counts;
    static Held Now(bool countObjects = true) {
        return {testing::HeapBusyBytes(), countObjects ? testing::ResourceCounts::Now() : testing::ResourceCounts{}};
    }
    bool Above(const Held& before) const {
        return heap > before.heap || counts.gdiObjects > before.counts.gdiObjects ||
               counts.userObjects > before.counts.userObjects;
    }
    std::string Since(const Held& before) const {
        return Format("heap busy bytes %+lld, GDI objects %lu -> %lu, USER objects %lu -> %lu", heap - before.heap,
                      before.counts.gdiObjects, counts.gdiObjects, before.counts.userObjects, counts.userObjects);
    }
};

// Runs one sequence. One that leaves more behind is tried four times more:
// a cache fills once, a leak grows at every run.
void RunMeasured(Runner& runner, const Sequence& sequence, const std::vector<bool>* keep, bool countObjects) {
    Held before = Held::Now(countObjects);
    runner.Run(sequence, keep);
    if (!Held::Now(countObjects).Above(before)) return;
    const bool printing = runner.Printing();
    runner.SetPrinting(false);
    for (int again = 1; again <= 4; ++again) {
        before = Held::Now();
        runner.Run(sequence, keep);
        const Held after = Held::Now();
        if (!after.Above(before)) break;
        if (again == 4) throw Fault{Check::Growth, "more held after every run: " + after.Since(before)};
    }
    runner.SetPrinting(printing);
}

int Report(const Fault& fault, long sequence, bool quiet = false) {
    if (!quiet)
        std::printf("soak: fault in sequence %ld: %s: %s\n", sequence, CheckName(fault.check), fault.what.c_str());
    return static_cast<int>(kCheckFailed) + static_cast<int>(fault.check);
}

// ---- the worker: the timed run ------------------------------------------------

int Work(const Options& options) {
    const HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, options.progress.c_str());
    auto* progress = static_cast<Progress*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Progress)));
    if (progress == nullptr) return 2;
    Session session(false);
    const ULONGLONG started = ::GetTickCount64();
    long sequence = 0;
    long long sequences = 0;
    try {
        const auto run = [&](long index, bool countObjects) {
            progress->sequence = index;
            RunMeasured(session.runner, MakeSequence(options.seed, static_cast<std::uint64_t>(index)), nullptr,
                        countObjects);
        };
        const auto runNext = [&] {
            run(sequence++, false);
            progress->sequences = ++sequences;
            progress->calls = session.runner.Calls();
        };
        // What stays loaded after a first use gets loaded before the baseline.
        while (sequence < 10) runNext();
        const Held before = Held::Now();
        for (Held batch = before; ::GetTickCount64() - started < options.seconds * 1000ull; batch = Held::Now()) {
            // GDI and USER objects per 64 sequences; when they grew, each
            // sequence again, measured with them, to find the one that leaks.
            const long first = sequence;
            while (sequence < first + 64) runNext();
            const Held now = Held::Now();
            if (now.counts.gdiObjects > batch.counts.gdiObjects || now.counts.userObjects > batch.counts.userObjects)
                for (long index = first; index < sequence; ++index) run(index, true);
        }
        const Held after = Held::Now();
        std::printf("soak: results seen per entry point:\n%s", session.seen.Report().c_str());
        std::printf("soak: after the warm-up and after the run: %s, kernel handle-table slot %u -> %u\n",
                    after.Since(before).c_str(), before.counts.kernelSlot, after.counts.kernelSlot);
        // As the load run allows: what the system keeps, and a quarter of
        // the smallest block per sequence.
        if (after.heap - before.heap > 4 * sequences + 16384 ||
            after.counts.gdiObjects > before.counts.gdiObjects + 16 ||
            after.counts.userObjects > before.counts.userObjects + 16 ||
            after.counts.kernelSlot > before.counts.kernelSlot + 64) {
            progress->sequence = -1;
            return Report(Fault{Check::Growth, "not back after the run"}, -1);
        }
        return 0;
    } catch (const Fault& fault) {
        return Report(fault, progress->sequence);
    }
}

// ---- replaying one sequence ----------------------------------------------------

int Replay(const Options& options) {
    Session session(!options.quiet);
    const Sequence sequence = MakeSequence(options.seed, static_cast<std::uint64_t>(options.sequence));
    std::vector<bool> keep(sequence.calls.size(), options.calls.empty());
    for (int call : options.calls)
        if (call >= 0 && static_cast<std::size_t>(call) < keep.size()) keep[static_cast<std::size_t>(call)] = true;
    if (!options.quiet)
        std::printf("soak: sequence %ld of seed %llu, %u calls drawn\n", options.sequence,
                    static_cast<unsigned long long>(options.seed), static_cast<unsigned>(sequence.calls.size()));
    try {
        RunMeasured(session.runner, sequence, &keep, true);
    } catch (const Fault& fault) {
        return Report(fault, options.sequence, options.quiet);
    }
    if (!options.quiet) std::printf("soak: the sequence ran clean\n");
    return 0;
}

// ---- the supervisor --------------------------------------------------------------

// Starts this program again with the arguments; its status, or kHung when it
// makes no calls for kHangSeconds (a replay: when it has not ended by then).
DWORD RunSelf(const std::wstring& arguments, Progress* progress = nullptr) {
    std::wstring command = L"\"" + SelfPath() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        ::SetHandleInformation(::GetStdHandle(which), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 2;
    LONG64 calls = -1;
    ULONGLONG lastCall = ::GetTickCount64();
    while (::WaitForSingleObject(process.hProcess, 1000) == WAIT_TIMEOUT) {
        if (progress != nullptr && progress->calls != calls) {
            calls = progress->calls;
            lastCall = ::GetTickCount64();
        }
        if (::GetTickCount64() - lastCall > kHangSeconds * 1000ull) {
            ::TerminateProcess(process.hProcess, kHung);
            ::WaitForSingleObject(process.hProcess, INFINITE);
        }
    }
    DWORD status = 2;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}

std::string StatusText(DWORD status) {
    if (status == kHung) return "a hang (no call for " + std::to_string(kHangSeconds) + " s)";
    if (status > kCheckFailed && status <= kCheckFailed + 6)
        return std::string("a failed check (") + CheckName(static_cast<Check>(status - kCheckFailed)) + ")";
    return Format("a crash (status 0x%08lx)", static_cast<unsigned long>(status));
}

bool SameFailure(DWORD status, DWORD original) {
    const auto isCrash = [](DWORD s) {
        return s != 0 && s != 2 && s != kHung && !(s > kCheckFailed && s <= kCheckFailed + 6);
    };
    return status == original || (isCrash(status) && isCrash(original));
}

// Delta debugging over the calls of one sequence: drops ever smaller runs of
// calls while the rest still fails the same way.
std::vector<int> Shorten(const std::wstring& replay, std::vector<int> kept, DWORD original) {
    const auto fails = [&](const std::vector<int>& calls) {
        std::printf(".");
        std::fflush(stdout);
        return SameFailure(RunSelf(replay + L" --quiet --calls " + (calls.empty() ? L"none" : CallList(calls))),
                           original);
    };
    std::size_t parts = 2;
    while (kept.size() >= 2) {
        const std::size_t chunk = (kept.size() + parts - 1) / parts;
        bool dropped = false;
        for (std::size_t start = 0; start < kept.size() && !dropped; start += chunk) {
            std::vector<int> rest(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(start));
            rest.insert(rest.end(), kept.begin() + static_cast<std::ptrdiff_t>(std::min(start + chunk, kept.size())),
                        kept.end());
            if (fails(rest)) {
                kept = rest;
                parts = std::max<std::size_t>(parts - 1, 2);
                dropped = true;
            }
        }
        if (!dropped) {
            if (chunk == 1) break;
            parts = std::min(parts * 2, kept.size());
        }
    }
    std::printf("\n");
    return kept;
}

int Supervise(const Options& options) {
    std::printf("soak: seed %llu, %u seconds\n", static_cast<unsigned long long>(options.seed), options.seconds);
    const std::wstring name = L"Local\\tessaly-soak-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE mapping =
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Progress), name.c_str());
    auto* progress = static_cast<Progress*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Progress)));
    if (progress == nullptr) return 2;
    const std::wstring seed = L"--seed " + std::to_wstring(options.seed);
    const DWORD status = RunSelf(
        L"--worker " + seed + L" --seconds " + std::to_wstring(options.seconds) + L" --progress " + name, progress);
    const long long made = progress->calls, sequences = progress->sequences;
    if (status == 0) {
        std::printf("soak: %lld calls, %lld sequences, 0 faults\n", made, sequences);
        return 0;
    }
    if (status == 2) {
        std::printf("soak: the worker could not start its run\n");
        return 2;
    }
    const long sequence = progress->sequence;
    std::printf("soak: seed %llu, sequence %ld: %s\n", static_cast<unsigned long long>(options.seed), sequence,
                StatusText(status).c_str());
    if (sequence >= 0) {
        const std::wstring replay = seed + L" --sequence " + std::to_wstring(sequence);
        const Sequence drawn = MakeSequence(options.seed, static_cast<std::uint64_t>(sequence));
        std::vector<int> calls(drawn.calls.size());
        for (std::size_t i = 0; i < calls.size(); ++i) calls[i] = static_cast<int>(i);
        std::printf("soak: shortening its %u calls", static_cast<unsigned>(calls.size()));
        if (SameFailure(RunSelf(replay + L" --quiet"), status))
            calls = Shorten(replay, calls, status);
        else
            std::printf(": it does not fail on its own (the sequences before it matter); shown whole\n");
        RunSelf(replay + L" --calls " + (calls.empty() ? L"none" : CallList(calls)));
        // A crash or a hang leaves the last call's line open.
        const bool checked = status > kCheckFailed && status <= kCheckFailed + 6;
        std::printf("%ssoak: replay: bash tools/soak.sh %ls --sequence %ld --calls %ls\n", checked ? "" : "\n",
                    seed.c_str(), sequence, calls.empty() ? L"none" : CallList(calls).c_str());
    }
    std::printf("soak: %lld calls, %lld sequences, 1 fault\n", made, sequences);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    options.seed = ::GetTickCount64() * 2654435761u % 1000000007u;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : L"";
        if (argument == L"--seconds") {
            options.seconds = static_cast<unsigned>(std::wcstoul(value, nullptr, 10)), ++i;
        } else if (argument == L"--seed") {
            options.seed = std::wcstoull(value, nullptr, 10), ++i;
        } else if (argument == L"--sequence") {
            options.sequence = std::wcstol(value, nullptr, 10), ++i;
        } else if (argument == L"--calls") {
            for (const wchar_t* at = value; *at != L'\0';) {
                wchar_t* next = nullptr;
                const long call = std::wcstol(at, &next, 10);
                if (next == at) break;
                options.calls.push_back(static_cast<int>(call));
                at = *next == L',' ? next + 1 : next;
            }
            if (options.calls.empty()) options.calls.push_back(-1);  // "none": no call at all
            ++i;
        } else if (argument == L"--progress") {
            options.progress = value, ++i;
        } else if (argument == L"--worker") {
            options.worker = true;
        } else if (argument == L"--quiet") {
            options.quiet = true;
        } else {
            std::printf("usage: tessaly_soak.exe [--seconds N] [--seed S] [--sequence K [--calls I,J,...]]\n");
            return 2;
        }
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    try {
        if (options.worker) return Work(options);
        if (options.sequence >= 0) return Replay(options);
        return Supervise(options);
    } catch (const std::exception& failure) {
        std::printf("soak: %s\n", failure.what());
        return 2;
    }
}
