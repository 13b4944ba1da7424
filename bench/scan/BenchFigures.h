#pragma once
// What the scan benchmark's parts share: the side's name, medians, timing
// and size labels.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace tessaly::bench {

#ifdef _WIN32
constexpr const char* kSide = "wine";
constexpr const wchar_t* kSeparator = L"\\";
#else
constexpr const char* kSide = "host";
constexpr const wchar_t* kSeparator = L"/";
#endif

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline std::string SizeLabel(size_t size) {
    return size % 1000 == 0 ? std::to_string(size / 1000) + "k" : std::to_string(size);
}

// The scan's comparisons on folders made before, <root>/<size> (bench/scan.sh):
// on the slow share, the scan as the product runs it against the serial scan
// of the same folder; on a local folder, one scan in a fresh process against
// the same of the baseline program (the scan as it was before its opens could
// run in parallel). Each prints its lines and its figure lines last.
int CompareWithSerial(const std::wstring& root, const std::vector<size_t>& sizes, int reps, const std::string& label);
int CompareWithBaseline(const std::wstring& root, const std::vector<size_t>& sizes, int reps,
                        const std::wstring& baseline);

}  // namespace tessaly::bench
