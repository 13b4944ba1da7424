#pragma once
// Whether a file link (a symbolic link) leads to a file on this machine's own
// drives. The scan opens every file of a folder before the user chooses
// anything; opening through a link to another machine would log on there
// with the user's credentials, or wait for the network's timeout when it
// does not answer. Such a link is opened as itself instead. Plain text rules
// over the target as the file system stores it, so they are tested anywhere.
#include <string_view>

namespace tessaly::platform {

// What GetDriveTypeW says of a drive letter's root, as far as a link cares:
// a fixed, removable, optical or RAM drive is local; a network drive, a
// letter with no drive and an unknown kind are not.
enum class DriveKind { Local, NotLocal };
using DriveKindOf = DriveKind (*)(wchar_t letter);

// target: the link's substitute name ("\??\C:\dir\file", "\??\UNC\server\share\file",
// "\??\Volume{...}\file", or a relative path); relative: the link's relative flag.
// A relative target stays on the link's own volume, which the scan already
// reads; a drive letter is local when its drive is; a volume name is always
// one of this machine's; a UNC path, a device path and anything else are not.
bool IsLocalLinkTarget(std::wstring_view target, bool relative, DriveKindOf driveKind);

}  // namespace tessaly::platform
