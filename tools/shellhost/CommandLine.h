#pragma once
// The shell host's command line, parsed apart from Win32.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaly::shellhost {

// What was right-clicked: the empty background of an open folder, a folder
// icon, or a drive icon.
enum class ClickKind { Background, Folder, Drive };

// Which of Windows 11's menus asks an Explorer command (CommandDriver.h):
// the first menu, or the classic one listing packaged commands.
enum class CommandCaller { FirstMenu, ClassicMenu };

// Tessaly's Explorer command, the class --command creates unless told another.
inline constexpr const wchar_t* kTessalyCommandClass = L"{31947C44-8420-40FE-B315-A367ABAE0D74}";

struct Options {
    ClickKind kind = ClickKind::Background;
    // The folder, or with --folder one or more folders of one folder, right-clicked together.
    std::vector<std::wstring> paths;
    bool nullFolder = false;  // an icon click with no folder item list, as some shells pass it
    std::wstring handler;  // only handlers of this key name or class id
    // Explorer hands its handlers ids up to 0x7FFF after its own items.
    std::uint32_t idFirst = 100;
    std::uint32_t idLast = 0x7FFF;
    std::uint32_t flags = 0;  // CMF_NORMAL
    bool textsOnly = false;
    std::wstring submenu;  // print (and open with --show) only this submenu
    bool strings = false;  // GetCommandString help text and verb per item
    std::wstring invoke;   // an item's text, or a command offset in digits
    std::optional<std::uint32_t> showSeconds;
    std::optional<std::uint32_t> dialogSeconds;  // step through the pages of what --invoke opens
    std::uint32_t closeSeconds = 60;             // without --dialogs: close what --invoke opens after this
    std::wstring clickButton;  // with --dialogs: the button to click
    // Windows 11's first menu: one Explorer command instead of the handlers.
    bool command = false;
    std::wstring commandClass = kTessalyCommandClass;
    std::wstring dll;          // create the command from this module's DllGetClassObject
    bool emptyArray = false;   // a background click with an empty item array instead of none
    CommandCaller caller = CommandCaller::FirstMenu;
    bool noSite = false;      // a caller that gives the command no site
    bool invokeAll = false;   // invoke every subcommand in turn
};

// The longest time the options that take seconds accept (a day): the
// milliseconds of it fit in 32 bits.
constexpr std::uint32_t kMaxSeconds = 86400;

struct ParseResult {
    std::optional<Options> options;  // empty: print `error` and the usage
    std::wstring error;
    bool help = false;
};

ParseResult ParseCommandLine(const std::vector<std::wstring>& arguments);

extern const wchar_t* const kUsage;

// What was right-clicked: "the folder C:\a", "the folders C:\a, C:\b",
// "the background of C:\a".
std::wstring ClickText(const Options& options);

// A command offset when `text` is all digits (a few, no sign).
std::optional<std::uint32_t> OffsetOf(const std::wstring& text);

// The Windows path that Wine's drive Z: gives a Unix path ("/home/me" is
// "Z:\home\me"); nothing for a path that does not start with "/".
std::optional<std::wstring> DriveZPathOf(const std::wstring& path);

}  // namespace tessaly::shellhost
