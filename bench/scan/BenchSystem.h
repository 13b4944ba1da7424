#pragma once
// What the scan benchmark needs from the system beyond the product's own
// platform layer: making many files with given times, the process's peak
// memory, running a child process, and the reference of each side.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemTime.h"

namespace tessaly::bench {

// A new folder with a unique name under base (the system's temporary folder
// when base is empty), in the platform's own path form, without a trailing
// separator.
std::wstring MakeTemporaryFolder(const std::wstring& base);
// A new folder named name in parent.
std::wstring MakeFolder(const std::wstring& parent, const std::wstring& name);
// Creates an empty file in folder with the given UTC times.
void MakeFile(const std::wstring& folder, const std::wstring& name, FileTimeCount lastAccess, FileTimeCount lastWrite);
// Removes the folder and the files in it (not recursive).
void RemoveFolder(const std::wstring& folder);

// The peak resident memory of this process so far, in bytes.
std::uint64_t PeakMemory();

// This program's own path.
std::wstring SelfPath();

struct ProcessRun {
    bool ok = false;
    double seconds = 0;              // wall time from start to exit
    std::uint64_t peakMemory = 0;    // the child's peak resident memory, in bytes (0 where unknown)
    std::string output;              // its standard output
    unsigned long status = 0;        // its exit status
};
// Runs a program to its end, its standard output captured (or thrown away).
ProcessRun RunProcess(const std::vector<std::wstring>& arguments, bool captureOutput);

#ifndef _WIN32
// Runs a program as the child of a small helper process (this program with
// --measure), which times it and reads its peak memory when it ends: the
// figures of a process spawned straight from the benchmark would include
// the benchmark's own memory. The program's standard output is captured when
// keepOutput is set, and thrown away otherwise.
ProcessRun RunMeasured(const std::vector<std::wstring>& arguments, bool keepOutput);
// The helper's side: runs the program, prints its figures, returns its status.
int MeasureProcess(const std::vector<std::string>& arguments, bool keepOutput);
#endif

// The reference to compare one scan with: on the host GNU "ls -t -u" of the
// folder as a process (output thrown away); under Windows a bare
// FindFirstFileW/FindNextFileW enumeration in this process.
struct Reference {
    const char* name;
    const char* label;  // short, for the figures' column
    bool isProcess;
};
Reference ReferenceKind();
// One run of the reference on folder: its wall time (and, for a process, its
// peak memory).
ProcessRun RunReference(const std::wstring& folder);
// A line that tells which reference runs (the ls version, for instance).
std::string ReferenceDescription();

#ifdef _WIN32
// What every scan must do at the least, in this process: the enumeration
// plus, for each file, the attribute-only open, GetFileTime and CloseHandle
// that a scan makes to read the file's times.
ProcessRun RunOpenFloor(const std::wstring& folder);
// Microseconds per conversion of count spread UTC times to local fields when
// the zone is fetched once (GetTimeZoneInformation) and handed to
// SystemTimeToTzSpecificLocalTime, where the scan lets it fetch the zone
// itself at every call.
double LocalTimeWithZoneFetchedOnce(std::size_t count);
#endif

}  // namespace tessaly::bench
