// Which link targets count as local, by their spelling as the file system
// stores them; drive C: is a local disk, N: a network drive, Q: no drive.
#include <gtest/gtest.h>

#include "platform/LinkTarget.h"

namespace tessaly::platform {
namespace {

DriveKind Drives(wchar_t letter) { return letter == L'C' ? DriveKind::Local : DriveKind::NotLocal; }

TEST(LinkTargetTest, OnlyTargetsOnLocalDrivesAreLocal) {
    struct Row {
        const wchar_t* target;
        bool relative, local;
    };
    const Row rows[] = {
        {L"\\??\\C:\\Users\\me\\notes.txt", false, true},
        {L"\\??\\c:\\notes.txt", false, true},  // the letter in any case
        {L"\\\\.\\C:\\notes.txt", false, true},
        {L"C:\\notes.txt", false, true},
        {L"\\??\\C:", false, true},
        {L"\\??\\N:\\notes.txt", false, false},  // a network drive
        {L"\\??\\Q:\\notes.txt", false, false},  // no such drive
        {L"\\??\\UNC\\server\\share\\notes.txt", false, false},
        {L"\\\\server\\share\\notes.txt", false, false},
        {L"\\Device\\Mup\\server\\share\\notes.txt", false, false},
        {L"\\??\\Volume{2eca078d-5cbc-43d3-aff8-7e8511f60d0e}\\notes.txt", false, true},
        {L"\\??\\GLOBALROOT\\Device\\HarddiskVolume1\\notes.txt", false, false},
        {L"\\??\\C", false, false},
        {L"\\?.\\C:\\notes.txt", false, false},
        {L"", false, false},
        {L"notes.txt", true, true},  // beside the link, on its volume
        {L"\\other\\notes.txt", true, true},  // the root of the link's volume
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsLocalLinkTarget(row.target, row.relative, Drives), row.local) << ::testing::PrintToString(row.target);
}

}  // namespace
}  // namespace tessaly::platform
