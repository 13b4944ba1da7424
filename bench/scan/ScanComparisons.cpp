#include <cstdio>
#include <sstream>

#include "bench/scan/BenchFigures.h"
#include "bench/scan/BenchSystem.h"
#include "listing/FolderListing.h"

namespace tessaly::bench {

namespace {
struct Timed {
    double seconds = 0;
    std::vector<std::wstring> names;
};

Timed TimeScan(const std::wstring& folder, ScanOpens opens) {
    FolderListing listing(platform::CurrentUtcTime, opens);
    listing.SetFolder(folder);
    const auto start = std::chrono::steady_clock::now();
    listing.Scan(FileTimeKind::Accessed, true, true);
    Timed timed{Seconds(start), {}};
    for (const FileEntry& entry : listing.Files()) timed.names.emplace_back(entry.Name());
    return timed;
}

// One scan in a fresh process of program (--scan-once): its scan's seconds, or -1.
double ScanOnce(const std::wstring& program, const std::wstring& folder, size_t size) {
    const ProcessRun child = RunProcess({program, L"--scan-once", folder}, true);
    unsigned long long before = 0, after = 0;
    double seconds = 0;
    size_t entries = 0;
    std::istringstream line(child.output);
    if (child.ok && line >> before >> after >> seconds >> entries && entries == size) return seconds;
    std::printf("  the scan process of %ls ended with status 0x%lx and printed \"%s\"\n", program.c_str(),
                child.status, child.output.substr(0, 200).c_str());
    return -1;
}
}  // namespace

int CompareWithSerial(const std::wstring& root, const std::vector<size_t>& sizes, int reps, const std::string& label) {
    std::vector<std::string> figures;
    for (size_t size : sizes) {
        const std::wstring folder = root + kSeparator + std::to_wstring(size);
        std::vector<double> serial, measured;
        for (int rep = 0; rep < reps; ++rep) {
            const Timed one = TimeScan(folder, ScanOpens::Serial);
            const Timed other = TimeScan(folder, ScanOpens::Measured);
            if (one.names.size() != size || one.names != other.names) {
                std::printf("  %zu files: the two scans listed different files\n", size);
                return 1;
            }
            serial.push_back(one.seconds);
            measured.push_back(other.seconds);
        }
        const double ratio = Median(serial) / Median(measured);
        std::printf("  slow share %s, %zu files: serial scan %.1f ms, the scan %.1f ms (%.3f ms a file): "
                    "%.2f times as fast (median of %d)\n",
                    label.c_str(), size, Median(serial) * 1e3, Median(measured) * 1e3,
                    Median(measured) * 1e3 / static_cast<double>(size), ratio, reps);
        std::fflush(stdout);
        char line[160];
        std::snprintf(line, sizeof line, "%s-slow-share-%s-vs-serial-%s: %.2f", kSide, label.c_str(),
                      SizeLabel(size).c_str(), ratio);
        figures.push_back(line);
#ifdef _WIN32
        // Wine reads every entry's attributes while it enumerates, one after
        // another, where a share's listing carries them: on a slow share that
        // part of the scan cannot overlap.
        std::vector<double> enumeration;
        for (int rep = 0; rep < reps; ++rep) enumeration.push_back(RunReference(folder).seconds);
        std::snprintf(line, sizeof line, "%s-slow-share-limit-%s-%s: the enumeration alone takes %.1f of the scan's %.1f ms",
                      kSide, label.c_str(), SizeLabel(size).c_str(), Median(enumeration) * 1e3, Median(measured) * 1e3);
        figures.push_back(line);
#endif
    }
    for (const std::string& line : figures) std::printf("%s\n", line.c_str());
    return 0;
}

int CompareWithBaseline(const std::wstring& root, const std::vector<size_t>& sizes, int reps,
                        const std::wstring& baseline) {
    const std::wstring self = SelfPath();
    std::vector<std::string> figures;
    for (size_t size : sizes) {
        const std::wstring folder = root + kSeparator + std::to_wstring(size);
        ScanOnce(baseline, folder, size);  // the folder into the system's caches
        std::vector<double> before, now;
        for (int rep = 0; rep < reps; ++rep) {
            // A process that failed is told, with its status and output, and
            // run once more: under Wine one failed now and then (twice in
            // some 400 runs, both times before this report was there).
            double old = ScanOnce(baseline, folder, size);
            if (old < 0) old = ScanOnce(baseline, folder, size);
            double current = ScanOnce(self, folder, size);
            if (current < 0) current = ScanOnce(self, folder, size);
            if (old < 0 || current < 0) {
                std::printf("  %zu files: a scan process failed\n", size);
                return 1;
            }
            before.push_back(old);
            now.push_back(current);
        }
        const double ratio = Median(now) / Median(before);
        std::printf("  local folder, %zu files: the scan %.2f ms, before its opens could run in parallel %.2f ms "
                    "(one scan in a fresh process each, in turn, median of %d)\n",
                    size, Median(now) * 1e3, Median(before) * 1e3, reps);
        std::fflush(stdout);
        char line[128];
        std::snprintf(line, sizeof line, "%s-local-vs-today-%s: %.3f", kSide, SizeLabel(size).c_str(), ratio);
        figures.push_back(line);
    }
    for (const std::string& line : figures) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace tessaly::bench
