#pragma once
// One sequence of calls into the loaded DLL: drawn from a seed, made one by
// one with the checks after each, and ended by releasing all that is left.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/stress/StressHarness.h"
#include "tools/soak/SoakInputs.h"

namespace tessaly::soak {

enum class Entry {
    DllGetClassObject,
    DllCanUnloadNow,
    CreateInstance,
    LockServer,
    QueryInterface,
    AddRefRelease,
    Initialize,
    QueryContextMenu,
    GetCommandString,
    InvokeCommand,
    Registration,
    Settings,  // the soak's own write to the settings key
    ExplorerCommand,  // a command of Windows 11's menu, made, asked and released in one call
    Count
};

struct Call {
    Entry entry;
    std::uint64_t seed;  // draws the call's arguments, whatever calls come before it
};
struct Sequence {
    std::vector<Call> calls;
    std::uint64_t endSeed = 0;  // the order of the final releases
};
Sequence MakeSequence(std::uint64_t seed, std::uint64_t index);

// A failed check. Its kind is the exit status (10 + kind) that a shortened
// replay must repeat.
enum class Check { Result = 1, Ids, DebugLine, Buffer, Released, Growth };
struct Fault {
    Check check;
    std::string what;
};
const char* CheckName(Check check);

// The distinct results seen per entry point.
class ResultsSeen {
public:
    void Add(Entry entry, long result);
    std::string Report() const;

private:
    static constexpr int kMax = 24;
    long m_results[static_cast<int>(Entry::Count)][kMax] = {};
    int m_counts[static_cast<int>(Entry::Count)] = {};
};

class Runner {
public:
    Runner(const testing::LoadedServer& server, const Places& places, testing::DllDebugLines& lines, ResultsSeen& seen,
           bool print);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Makes the calls that keep marks (all when null), then releases all that
    // is left and checks that the module may unload. Throws Fault.
    void Run(const Sequence& sequence, const std::vector<bool>* keep = nullptr);
    long long Calls() const { return m_calls; }
    bool Printing() const { return m_print; }
    void SetPrinting(bool print) { m_print = print; }

private:
    struct Handler;
    struct Ref;
    class Outer;

    void Step(const Call& call);
    void GetClassObject(Rng& rng);
    void CreateInstance(Rng& rng);
    void LockServer(Rng& rng);
    void QueryInterface(Rng& rng);
    void AddRefRelease(Rng& rng, bool mayAddRef);
    void Initialize(Rng& rng);
    void QueryContextMenu(Rng& rng);
    void GetCommandString(Rng& rng);
    void InvokeCommand(Rng& rng);
    void Registration(Rng& rng);
    void ExplorerCommand(Rng& rng);  // SoakCommand.cpp
    void CanUnloadNow();
    void ReleaseEverything(Rng& rng);

    // Checks and bookkeeping shared by the calls.
    void Expect(bool sound, Check check, const std::string& what) const;
    void Calling(const std::string& what);
    void Result(Entry entry, long result);
    std::vector<std::wstring> Lines();  // the call's debug lines, each checked for form
    void NoLines();
    Handler* PickHandler(Rng& rng);
    long ExpectedLocks() const;
    IClassFactory* Factory() const;

    const testing::LoadedServer& m_server;
    const Places& m_places;
    testing::DllDebugLines& m_lines;
    ResultsSeen& m_seen;
    bool m_print;  // each call and its result on standard output
    std::vector<Handler> m_handlers;
    std::vector<Ref> m_refs;
    long m_factoryRefs = 0;
    long m_serverLocks = 0;
    long long m_calls = 0;
    int m_step = 0;
    std::string m_current;           // the call being checked
    void* m_firstFactory = nullptr;  // the class factory, cached for the module's life
    char* m_guarded = nullptr;       // a page followed by one that may not be touched
};

}  // namespace tessaly::soak
