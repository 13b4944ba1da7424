#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/posix/Utf8.h"
#include "tests/support/CalendarFields.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {

namespace {
std::string Native(const std::wstring& path) { return platform::ToPosixPath(path); }

timespec ToTimespec(FileTimeCount count) {
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    timespec time{};
    time.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(count / kTicksPerSecond) - kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>(count % kTicksPerSecond) * 100;
    return time;
}
}  // namespace

TempFolder::TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tessaly-test-XXXXXX";
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
    m_path = platform::Utf8ToWide(templ);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Native(m_path), ignored);
}

std::wstring TempFolder::PathOf(const std::wstring& name) const { return m_path + L"/" + name; }

void TempFolder::MakeFile(const std::wstring& name) {
    const int fd = open(Native(PathOf(name)).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create a test file");
    close(fd);
}

void TempFolder::MakeFolder(const std::wstring& name) {
    if (mkdir(Native(PathOf(name)).c_str(), 0755) != 0) throw std::runtime_error("cannot create a test folder");
}

void TempFolder::SetTimes(const std::wstring& name, FileTimeCount lastAccess, FileTimeCount lastWrite) {
    const timespec times[2] = {ToTimespec(lastAccess), ToTimespec(lastWrite)};
    if (utimensat(AT_FDCWD, Native(PathOf(name)).c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set a test file's times");
}

void TempFolder::MakeUnopenableFile(const std::wstring& name) {
    if (symlink(Native(PathOf(L"missing-target")).c_str(), Native(PathOf(name)).c_str()) != 0)
        throw std::runtime_error("cannot create a dangling link");
}

void TempFolder::MakeLink(const std::wstring& name, const std::wstring& target) {
    if (symlink(Native(target).c_str(), Native(PathOf(name)).c_str()) != 0)
        throw std::runtime_error("cannot create a link");
}

void TempFolder::MakeHiddenSystem(const std::wstring&) {}

FileTimeCount UtcCount(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    FileTimeCount count = 0;
    if (!platform::SystemTimeToFileTime(CalendarFields(year, month, day, hour, minute, second, millisecond), count)) throw std::runtime_error("invalid test time");
    return count;
}

}  // namespace tessaly::testing
