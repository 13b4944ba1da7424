#include "tools/shellhost/CommandLine.h"

#include <cwchar>

namespace tessaly::shellhost {

const wchar_t* const kUsage =
    L"usage: tessaly-shell [options] PATH...\n"
    L"Does what the file manager does for one right-click on PATH: creates every\n"
    L"registered and approved context-menu handler (the current user's first,\n"
    L"then the machine's), lets each fill the menu, and prints the menu tree.\n"
    L"PATH is a folder, absolute or relative; under Wine a path that starts\n"
    L"with \"/\" is the Linux path that drive Z: shows.\n"
    L"  --background      the empty background of the folder PATH (default)\n"
    L"  --folder          the folder PATH itself, as seen from its parent; given\n"
    L"                    several folders of one folder, all of them selected\n"
    L"  --drive           the drive PATH (such as C:\\)\n"
    L"  --null-folder     with --folder or --drive: pass no folder item list,\n"
    L"                    only the data object, as some shell versions do\n"
    L"  --handler NAME    only the handler of this key name or class id\n"
    L"  --first N --last N  the command id range offered (default 100 to 32767)\n"
    L"  --flags N         QueryContextMenu flags (default 0, CMF_NORMAL)\n"
    L"  --texts           print only what a user reads (no ids, offsets, pictures)\n"
    L"  --submenu TEXT    print only this submenu\n"
    L"  --strings         print each item's help text and verb (GetCommandString)\n"
    L"  --invoke ITEM     run an item, chosen by its text or its command offset\n"
    L"  --close-after SECONDS  close any window --invoke opens (such as a message\n"
    L"                    box nobody answers) after SECONDS (default 60)\n"
    L"  --show SECONDS    show the menu (with --submenu, that submenu open and its\n"
    L"                    first item highlighted) for SECONDS on the display, then\n"
    L"                    close it, saying which colours that item showed where\n"
    L"                    its picture goes (the column of the check mark's width)\n"
    L"  --dialogs SECONDS instead: show each page of every window --invoke opens\n"
    L"                    for SECONDS, then close the window\n"
    L"  --click CAPTION   with --dialogs: click the first button of that caption\n"
    L"                    instead (on the page where it first shows)\n"
    L"                    A command that has not returned 30 s after its last\n"
    L"                    window was told to close ends the tool (status 3)\n"
    L"  --command         as Windows 11's first menu: ask one Explorer command (by\n"
    L"                    default Tessaly's) about the click and print its tree of\n"
    L"                    subcommands; --invoke then takes a text or a position\n"
    L"  --class CLSID     with --command: the command's class\n"
    L"  --dll PATH        with --command: create it from this module's\n"
    L"                    DllGetClassObject, not through the registry\n"
    L"  --empty-array     with --command --background: pass an empty item array\n"
    L"                    instead of none (Windows 11 passes either)\n"
    L"  --menu first|classic  with --command: ask as Windows 11's first menu does\n"
    L"                    (GetState allowed to be slow at once; the default) or as\n"
    L"                    its classic menu does (GetState not allowed to be slow,\n"
    L"                    then a new instance asked from another apartment)\n"
    L"  --no-site         with --command: give the command no site, as some\n"
    L"                    callers do\n"
    L"  --invoke-all      with --command: invoke every subcommand in turn, each\n"
    L"                    watched as --invoke is\n";

std::wstring ClickText(const Options& options) {
    std::wstring text = options.kind == ClickKind::Folder  ? L"the folder"
                        : options.kind == ClickKind::Drive ? L"the drive"
                                                           : L"the background of";
    if (options.paths.size() > 1) text += L"s";
    for (std::size_t i = 0; i < options.paths.size(); ++i) text += (i == 0 ? L" " : L", ") + options.paths[i];
    return text;
}

std::optional<std::wstring> DriveZPathOf(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return std::nullopt;
    std::wstring windows = L"Z:" + path;
    for (wchar_t& c : windows)
        if (c == L'/') c = L'\\';
    return windows;
}

std::optional<std::uint32_t> OffsetOf(const std::wstring& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return value;
}

ParseResult ParseCommandLine(const std::vector<std::wstring>& arguments) {
    ParseResult result;
    Options options;
    auto fail = [&result](const std::wstring& error) {
        result.error = error;
        return result;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        auto value = [&]() -> const std::wstring* { return i + 1 < arguments.size() ? &arguments[++i] : nullptr; };
        auto number = [&](std::uint32_t& out) {
            const std::wstring* text = value();
            const auto parsed = text ? OffsetOf(*text) : std::nullopt;
            if (parsed) out = *parsed;
            return parsed.has_value();
        };
        if (argument == L"--help" || argument == L"/?") {
            result.help = true;
            return result;
        } else if (argument == L"--background") {
            options.kind = ClickKind::Background;
        } else if (argument == L"--folder") {
            options.kind = ClickKind::Folder;
        } else if (argument == L"--drive") {
            options.kind = ClickKind::Drive;
        } else if (argument == L"--null-folder") {
            options.nullFolder = true;
        } else if (argument == L"--texts") {
            options.textsOnly = true;
        } else if (argument == L"--strings") {
            options.strings = true;
        } else if (argument == L"--command") {
            options.command = true;
        } else if (argument == L"--empty-array") {
            options.emptyArray = true;
        } else if (argument == L"--no-site") {
            options.noSite = true;
        } else if (argument == L"--invoke-all") {
            options.invokeAll = true;
        } else if (argument == L"--menu") {
            const std::wstring* text = value();
            if (text == nullptr || (*text != L"first" && *text != L"classic"))
                return fail(L"--menu needs \"first\" or \"classic\"");
            options.caller = *text == L"first" ? CommandCaller::FirstMenu : CommandCaller::ClassicMenu;
        } else if (argument == L"--handler" || argument == L"--submenu" || argument == L"--invoke" ||
                   argument == L"--click" || argument == L"--class" || argument == L"--dll") {
            const std::wstring* text = value();
            if (text == nullptr) return fail(argument + L" needs a value");
            (argument == L"--handler"   ? options.handler
             : argument == L"--submenu" ? options.submenu
             : argument == L"--invoke"  ? options.invoke
             : argument == L"--class"   ? options.commandClass
             : argument == L"--dll"     ? options.dll
                                        : options.clickButton) = *text;
        } else if (argument == L"--first" || argument == L"--last" || argument == L"--flags") {
            std::uint32_t& out = argument == L"--first" ? options.idFirst
                                 : argument == L"--last" ? options.idLast
                                                         : options.flags;
            if (!number(out)) return fail(argument + L" needs a number");
        } else if (argument == L"--show" || argument == L"--dialogs" || argument == L"--close-after") {
            std::uint32_t seconds = 0;
            if (!number(seconds) || seconds > kMaxSeconds)
                return fail(argument + L" needs a number of seconds, at most " + std::to_wstring(kMaxSeconds));
            if (argument == L"--close-after")
                options.closeSeconds = seconds;
            else
                (argument == L"--show" ? options.showSeconds : options.dialogSeconds) = seconds;
        } else if (argument.size() > 1 && argument[0] == L'-' && argument[1] == L'-') {
            return fail(L"unknown option " + argument);
        } else {
            options.paths.push_back(argument);
        }
    }
    if (options.paths.empty()) return fail(L"no path given");
    if (options.paths.size() > 1 && options.kind != ClickKind::Folder)
        return fail(L"more than one path: only --folder takes several");
    if (options.idLast < options.idFirst) return fail(L"--last is below --first");
    if (!options.clickButton.empty() && !options.dialogSeconds) return fail(L"--click needs --dialogs");
    // A command offset travels in the low 16 bits of a verb pointer.
    if (const auto offset = OffsetOf(options.invoke); offset && *offset > 0xFFFF)
        return fail(L"--invoke: a command offset is at most 65535");
    if (options.nullFolder && options.kind == ClickKind::Background)
        return fail(L"--null-folder needs --folder or --drive");
    if (!options.command && (!options.dll.empty() || options.emptyArray || options.commandClass != kTessalyCommandClass ||
                             options.noSite || options.invokeAll || options.caller != CommandCaller::FirstMenu))
        return fail(L"--class, --dll, --empty-array, --menu, --no-site and --invoke-all need --command");
    if (options.invokeAll && !options.invoke.empty()) return fail(L"--invoke-all takes no --invoke");
    if (options.emptyArray && options.kind != ClickKind::Background) return fail(L"--empty-array needs --background");
    // A menu of commands has no command ids, handlers or owner window.
    if (options.command && (!options.handler.empty() || options.strings || options.nullFolder ||
                            !options.submenu.empty() || options.showSeconds || options.flags != 0))
        return fail(L"--command takes no --handler, --strings, --null-folder, --submenu, --show or --flags");
    result.options = options;
    return result;
}

}  // namespace tessaly::shellhost
