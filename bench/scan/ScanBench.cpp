// The scan benchmark (not a test; bench/scan.sh builds and runs it). For each
// size it makes a folder of that many files with spread access and write
// times, runs one Scan per time kind as a menu build does, and prints the time
// per scan, the cost per file and the peak memory per entry, with the ratio
// of one scan to the side's reference: GNU "ls -t -u" of the same folder on
// the host (both as fresh processes), a bare FindFirstFileW/FindNextFileW
// enumeration under Windows (both in this process). Under Windows it also
// prints the ratio to the floor that every scan has to reach: the
// enumeration plus one attribute-only open, GetFileTime and CloseHandle per
// file (wine-scan-vs-open-floor-<size>), a scan and its floor taken in turn.
//
//   tessaly_bench_scan [--sizes 1000,10000,100000] [--reps 5] [--root DIR] [--keep]
//   tessaly_bench_scan [--sizes ...] [--reps 5] --existing DIR   (folders DIR/<size> made by a --keep run)
//   tessaly_bench_scan --sizes ... [--reps 5] --existing DIR --slow-share LABEL
//       (DIR on the slow share: the scan against the serial scan)
//   tessaly_bench_scan --sizes ... [--reps 5] --existing DIR --baseline PROGRAM
//       (one scan per process, this program's against PROGRAM's)
//   tessaly_bench_scan --scan-once FOLDER   (the child that one scan runs in)
//   tessaly_bench_scan --measure[-quiet] PROGRAM ARGS...   (host: times a child, reads its peak memory)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

#include "bench/scan/BenchFigures.h"
#include "bench/scan/BenchSystem.h"
#include "listing/FolderListing.h"
#include "platform/Clock.h"
#include "platform/TextCodec.h"

namespace tessaly::bench {
namespace {

std::wstring Wide(const std::string& text) { return platform::NarrowToWide(text, platform::CodePage::SystemAnsi); }

// The steps a scan takes per file beyond the floor's open and GetFileTime,
// each timed alone over count spread file times, in microseconds per file:
// the file's time to local fields and back to a count, and reading "now" in
// local time, which every entry does.
struct StepCosts {
    double localTime = 0;
    double now = 0;
};
StepCosts TimeScanSteps(size_t count) {
    FileTimeCount base = 0;
    platform::SystemTimeToFileTime(platform::CurrentUtcTime(), base);
    StepCosts costs;
    std::uint64_t sink = 0;  // keeps the loops from being dropped
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < count; ++i) {
        SystemTime utc, local;
        FileTimeCount sortTime = 0;
        platform::FileTimeToSystemTime(base - i * 86'400ull * kTicksPerSecond / 7, utc);
        platform::UtcToLocalTime(utc, local);
        platform::SystemTimeToFileTime(local, sortTime);
        sink += sortTime;
    }
    costs.localTime = Seconds(start) * 1e6 / static_cast<double>(count);
    start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < count; ++i) {
        SystemTime local;
        platform::UtcToLocalTime(platform::CurrentUtcTime(), local);
        sink += local.Minute;
    }
    costs.now = Seconds(start) * 1e6 / static_cast<double>(count);
    if (sink == 1) std::printf(" ");
    return costs;
}

// The child: one scan as the first list of a menu build, in a fresh process.
// Prints the peak memory before and after it, its time and the entry count.
int ScanOnce(const std::wstring& folder) {
    const std::uint64_t before = PeakMemory();
    FolderListing listing;
    listing.SetFolder(folder);
    const auto start = std::chrono::steady_clock::now();
    listing.Scan(FileTimeKind::Accessed, true, true);
    const double seconds = Seconds(start);
    const std::uint64_t after = PeakMemory();
    std::printf("%llu %llu %.9f %zu\n", static_cast<unsigned long long>(before),
                static_cast<unsigned long long>(after), seconds, listing.Files().size());
    // Ends without destroying the entries: the figures are the scan's (in a
    // menu, the next Scan or Clear destroys them, and the in-process times
    // per scan include that).
    std::fflush(stdout);
    std::_Exit(0);
}

// Files of a folder: write times spread over two years before now, access
// times spread the same way in another order, so that each kind sorts the
// folder differently and neither follows the enumeration.
void MakeFiles(const std::wstring& folder, size_t count) {
    FileTimeCount now = 0;
    platform::SystemTimeToFileTime(platform::CurrentUtcTime(), now);
    const FileTimeCount span = 2 * 365 * 86'400ull * kTicksPerSecond;
    const FileTimeCount step = span / count;
    for (size_t i = 0; i < count; ++i) {
        // Multiplying by primes that share no factor with the sizes permutes 0..count-1.
        const FileTimeCount writeRank = (i * 7919 + 13) % count;
        const FileTimeCount accessRank = (i * 104729 + 7) % count;
        const FileTimeCount write = now - writeRank * step - (i % 1000) * kTicksPerMillisecond;
        const FileTimeCount access = now - accessRank * step / 2;
        wchar_t name[32];
        std::swprintf(name, 32, L"file-%07zu.dat", i);
        MakeFile(folder, name, access, write);
    }
}

struct Options {
    std::vector<size_t> sizes{1000, 10000, 100000};
    int reps = 5;
    std::wstring root;
    bool keep = false;
    std::wstring existing;  // folders made before, as <existing>/<size>
    std::string slowShare;  // the slow share's delay, as a label
    std::wstring baseline;  // the program to compare one scan with
};

int Run(const Options& options) {
    const Reference reference = ReferenceKind();
    const std::wstring self = SelfPath();
    std::printf("scan benchmark (%s): one Scan per time kind (Accessed, then Modified, hints on), "
                "median of %d runs\n%s\n",
                kSide, options.reps, ReferenceDescription().c_str());
    std::fflush(stdout);

    // Under Wine making a file in a large folder costs a search of the whole
    // folder (names are matched without regard to case), so the Windows side
    // takes the folders that the host side made (bench/scan.sh does this).
    const bool made = options.existing.empty();
    const std::wstring root = made ? MakeTemporaryFolder(options.root) : options.existing;
    if (made && options.keep) std::printf("folders: %s\n", platform::WideToNarrow(root, platform::CodePage::SystemAnsi).c_str());
    std::vector<std::string> summary;
    for (size_t size : options.sizes) {
        std::wstring folder;
        auto start = std::chrono::steady_clock::now();
        if (made) {
            folder = MakeFolder(root, std::to_wstring(size));
            MakeFiles(folder, size);
            std::printf("\n%zu files (made in %.1f s)\n", size, Seconds(start));
        } else {
            folder = root + kSeparator + std::to_wstring(size);
            std::printf("\n%zu files (made before)\n", size);
        }

        FolderListing listing;
        listing.SetFolder(folder);
        listing.Scan(FileTimeKind::Accessed, true, true);  // warm the caches, as a repeated menu does
        if (listing.Files().size() != size) {
            std::printf("  the scan listed %zu entries, not %zu\n", listing.Files().size(), size);
            return 1;
        }
        // A scan and its floor in turn, nothing else between them (as the
        // menu benchmark takes a menu and its floor), so that both meet the
        // machine in the same state and the ratio compares like with like:
        // the child processes and the reference below disturb the caches.
        std::vector<double> accessed, modified, childSeconds, referenceSeconds, floorSeconds;
        std::uint64_t childPeak = 0, perEntry = 0, referencePeak = 0;
#ifdef _WIN32
        RunOpenFloor(folder);  // warm
#endif
        for (int rep = 0; rep < options.reps; ++rep) {
            start = std::chrono::steady_clock::now();
            listing.Scan(FileTimeKind::Accessed, true, true);
            accessed.push_back(Seconds(start));
            listing.Clear();
            listing.SetFolder(folder);
#ifdef _WIN32
            const ProcessRun floor = RunOpenFloor(folder);
            if (!floor.ok) {
                std::printf("  the open floor failed\n");
                return 1;
            }
            floorSeconds.push_back(floor.seconds);
#endif
        }
        // Then each round the rest once, in the same order, so that the
        // machine's drift touches those figures alike: the second scan of a
        // menu build, one scan in a fresh process (its memory, and on the
        // host its whole run), and the reference.
        RunReference(folder);  // warm
        for (int rep = 0; rep < options.reps; ++rep) {
            start = std::chrono::steady_clock::now();
            listing.Scan(FileTimeKind::Modified, true, true);
            modified.push_back(Seconds(start));
            listing.Clear();
            listing.SetFolder(folder);

#ifdef _WIN32
            const ProcessRun child = RunProcess({self, L"--scan-once", folder}, true);
#else
            const ProcessRun child = RunMeasured({self, L"--scan-once", folder}, true);
#endif
            unsigned long long before = 0, after = 0;
            double scanSeconds = 0;
            size_t entries = 0;
            std::istringstream line(child.output);
            if (!child.ok || !(line >> before >> after >> scanSeconds >> entries) || entries != size) {
                std::printf("  the scan child failed\n");
                return 1;
            }
            childSeconds.push_back(child.seconds);
            childPeak = std::max<std::uint64_t>(childPeak, child.peakMemory != 0 ? child.peakMemory : after);
            perEntry = std::max<std::uint64_t>(perEntry, (after - before) / size);

            const ProcessRun run = RunReference(folder);
            if (!run.ok) {
                std::printf("  the reference (%s) failed\n", reference.name);
                return 1;
            }
            referenceSeconds.push_back(run.seconds);
            referencePeak = std::max(referencePeak, run.peakMemory);
        }
        listing.Clear();
        const double perScan[] = {Median(accessed), Median(modified)};
        const char* const kinds[] = {"Accessed", "Modified"};
        for (int k = 0; k < 2; ++k)
            std::printf("  Scan %-8s  %10.2f ms per scan  %8.3f us per file\n", kinds[k], perScan[k] * 1e3,
                        perScan[k] * 1e6 / static_cast<double>(size));
        std::printf("  peak memory       %10llu bytes per entry (a process with one scan peaks at %.1f MB)\n",
                    static_cast<unsigned long long>(perEntry), static_cast<double>(childPeak) / 1048576.0);

        const double referenceTime = Median(referenceSeconds);
        std::string key;
        double ratio = 0;
        if (reference.isProcess) {
            const double scanProcess = Median(childSeconds);
            ratio = scanProcess / referenceTime;
            std::printf("  %-17s %10.2f ms per run, peak %.1f MB\n", reference.label, referenceTime * 1e3,
                        static_cast<double>(referencePeak) / 1048576.0);
            std::printf("  one Scan process  %10.2f ms per run: %.2f times %s; peak memory %.2f times\n",
                        scanProcess * 1e3, ratio, reference.name,
                        static_cast<double>(childPeak) / static_cast<double>(referencePeak));
            key = std::string(kSide) + "-scan-vs-ls-" + SizeLabel(size);
        } else {
            ratio = perScan[0] / referenceTime;
            std::printf("  %-17s %10.2f ms per run: one Scan takes %.2f times as long\n", reference.label,
                        referenceTime * 1e3, ratio);
            key = std::string(kSide) + "-scan-vs-enumeration-" + SizeLabel(size);
        }
        char line[128];
        std::snprintf(line, sizeof line, "%s: %.3f", key.c_str(), ratio);
        summary.push_back(line);
        if (!floorSeconds.empty()) {
            const double floorRatio = perScan[0] / Median(floorSeconds);
            std::printf("  enumeration + open %7.2f ms per run: one Scan takes %.2f times as long\n",
                        Median(floorSeconds) * 1e3, floorRatio);
            const double overFloor = (floorRatio - 1) * Median(floorSeconds) * 1e6 / static_cast<double>(size);
            const StepCosts steps = TimeScanSteps(size);
            std::printf("  beyond the floor  %10.3f us per file: local time of the file %.3f us, local \"now\" "
                        "%.3f us, the rest (entries, text, sort) %.3f us\n",
                        overFloor, steps.localTime, steps.now, overFloor - steps.localTime - steps.now);
#ifdef _WIN32
            std::printf("  (UTC to local fields alone: %.3f us with the zone fetched once, as against the "
                        "fetch at every call above)\n",
                        LocalTimeWithZoneFetchedOnce(size));
#endif
            std::snprintf(line, sizeof line, "%s-scan-vs-open-floor-%s: %.3f", kSide, SizeLabel(size).c_str(),
                          floorRatio);
            summary.push_back(line);
        }
        std::fflush(stdout);
        if (made && !options.keep) RemoveFolder(folder);
    }
    if (made && !options.keep) RemoveFolder(root);
    std::printf("\n");
    for (const std::string& line : summary) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace
}  // namespace tessaly::bench

int main(int argc, char** argv) {
    using namespace tessaly::bench;
    try {
        Options options;
        for (int i = 1; i < argc; ++i) {
            const std::string argument = argv[i];
            const bool hasValue = i + 1 < argc;
            if (argument == "--scan-once" && hasValue) return ScanOnce(Wide(argv[i + 1]));
#ifndef _WIN32
            if ((argument == "--measure" || argument == "--measure-quiet") && hasValue)
                return MeasureProcess(std::vector<std::string>(argv + i + 1, argv + argc), argument == "--measure");
#endif
            if (argument == "--sizes" && hasValue) {
                options.sizes.clear();
                std::istringstream list(argv[++i]);
                for (std::string item; std::getline(list, item, ',');) options.sizes.push_back(std::stoul(item));
            } else if (argument == "--reps" && hasValue) {
                options.reps = std::max(1, std::atoi(argv[++i]));
            } else if (argument == "--root" && hasValue) {
                options.root = Wide(argv[++i]);
            } else if (argument == "--existing" && hasValue) {
                options.existing = Wide(argv[++i]);
            } else if (argument == "--keep") {
                options.keep = true;
            } else if (argument == "--slow-share" && hasValue) {
                options.slowShare = argv[++i];
            } else if (argument == "--baseline" && hasValue) {
                options.baseline = Wide(argv[++i]);
            } else {
                std::fprintf(stderr,
                             "usage: %s [--sizes N,N,...] [--reps N] [--root DIR] [--keep] [--existing DIR "
                             "[--slow-share LABEL | --baseline PROGRAM]]\n",
                             argv[0]);
                return 2;
            }
        }
        if (!options.existing.empty() && !options.slowShare.empty())
            return CompareWithSerial(options.existing, options.sizes, options.reps, options.slowShare);
        if (!options.existing.empty() && !options.baseline.empty())
            return CompareWithBaseline(options.existing, options.sizes, options.reps, options.baseline);
        return Run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scan benchmark: %s\n", error.what());
        return 1;
    }
}
