// tessaly-shell: one right-click as the file manager does it, through the
// registry and COM only, for any registered context-menu handler.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <mutex>

#include "tools/shellhost/ClickTarget.h"
#include "tools/shellhost/CommandLine.h"
#include "tools/shellhost/CommandMode.h"
#include "tools/shellhost/DebugLines.h"
#include "tools/shellhost/DialogWalker.h"
#include "tools/shellhost/FolderPath.h"
#include "tools/shellhost/HandlerList.h"
#include "tools/shellhost/HandlerSession.h"
#include "tools/shellhost/HostWindow.h"
#include "tools/shellhost/MenuReader.h"
#include "tools/shellhost/MenuTree.h"

namespace tessaly::shellhost {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

std::mutex g_printLock;

// UTF-8, one line at a time and flushed, so a script reading the output
// sees each line as it happens.
void Print(FILE* stream, const std::wstring& line) {
    std::lock_guard<std::mutex> lock(g_printLock);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), text.data(), size, nullptr,
                              nullptr);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}
void Out(const std::wstring& line) { Print(stdout, line); }
void Err(const std::wstring& line) { Print(stderr, line); }

bool SameName(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::vector<HandlerEntry> ChosenHandlers(const Options& options) {
    std::vector<HandlerEntry> chosen;
    for (HandlerEntry& entry : RegisteredHandlers(options.kind))
        if (options.handler.empty() || SameName(entry.name, options.handler) ||
            SameName(entry.classText, options.handler))
            chosen.push_back(std::move(entry));
    return chosen;
}

std::wstring CommandString(IContextMenu* menu, UINT offset, UINT kind) {
    wchar_t text[512] = {};
    const HRESULT result = menu->GetCommandString(offset, kind, nullptr, reinterpret_cast<char*>(text), 512);
    text[511] = L'\0';
    return SUCCEEDED(result) ? L"\"" + std::wstring(text) + L"\"" : L"failed with " + HresultText(result);
}

void PrintStrings(const std::vector<MenuNode>& items, const HandlerSession& session) {
    for (const MenuNode& item : items) {
        if (item.isSubmenu) PrintStrings(item.children, session);
        if (item.separator || item.isSubmenu) continue;
        const LoadedHandler* owner = session.OwnerOf(item.id);
        if (owner == nullptr) continue;
        const UINT offset = item.id - owner->range.first;
        Out(L"offset " + std::to_wstring(offset) + L" \"" + LeftColumn(item.text) + L"\": help " +
            CommandString(owner->menu.get(), offset, GCS_HELPTEXTW) + L", verb " +
            CommandString(owner->menu.get(), offset, GCS_VERBW));
    }
}

// The handler and offset that --invoke names: an offset counts in the first
// handler's range, a text finds the item and so its handler.
bool ResolveInvoke(const Options& options, const std::vector<MenuNode>& tree, const HandlerSession& session,
                   const LoadedHandler*& handler, UINT& offset) {
    if (const auto number = OffsetOf(options.invoke)) {
        if (session.handlers().empty()) return false;
        handler = &session.handlers().front();
        offset = *number;
        return true;
    }
    const MenuNode* item = FindItem(tree, options.invoke);
    handler = item != nullptr ? session.OwnerOf(item->id) : nullptr;
    if (handler == nullptr) return false;
    offset = item->id - handler->range.first;
    return true;
}

HRESULT Invoke(const LoadedHandler& handler, UINT offset, HWND window, const Options& options) {
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof(info);
    info.fMask = CMIC_MASK_UNICODE;
    info.hwnd = window;
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.lpVerbW = MAKEINTRESOURCEW(offset);
    info.lpDirectoryW = options.kind == ClickKind::Background ? options.paths.front().c_str() : nullptr;
    info.nShow = SW_SHOWNORMAL;
    // Always watched: a window nobody answers must not keep the tool waiting.
    DialogWalker walker(window, options.dialogSeconds.value_or(options.closeSeconds), options.dialogSeconds.has_value(),
                        options.clickButton, Out);
    return handler.menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

int Run(const Options& options) {
    DebugLines debugLines;
    const bool full = !options.textsOnly;
    const auto report = full ? Out : Err;
    if (full) Out(L"Right-click on " + ClickText(options));

    ClickTarget target;
    std::wstring problem;
    if (FAILED(PrepareClick(options.kind, options.paths, target, problem))) {
        Err(problem);
        return kExitFailed;
    }
    if (options.nullFolder) target.folder = Pidl();

    MenuOwner menu;
    HandlerSession session;
    session.Load(ChosenHandlers(options), options.kind, target, menu.get(), options.idFirst, options.idLast,
                 options.flags, report);
    for (const std::wstring& line : debugLines.Take()) report(L"debug output: " + line);
    if (session.handlers().empty()) {
        Err(L"no handler filled the menu");
        return kExitFailed;
    }

    const std::vector<MenuNode> tree = ReadMenu(menu.get());
    const MenuNode* shownSubmenu = options.submenu.empty() ? nullptr : FindSubmenu(tree, options.submenu);
    if (!options.submenu.empty() && shownSubmenu == nullptr) {
        Err(L"no submenu \"" + options.submenu + L"\" in the menu");
        return kExitFailed;
    }
    const IdRange range = session.handlers().size() == 1 ? session.handlers().front().range : IdRange{};
    if (full) Out(L"");
    for (const std::wstring& line : FormatMenu(shownSubmenu != nullptr ? shownSubmenu->children : tree,
                                               options.textsOnly ? Detail::TextsOnly : Detail::Full, range))
        Out(line);
    if (options.strings) PrintStrings(tree, session);

    HostWindow window(session, L"Right-click on " + ClickText(options));
    if (options.showSeconds) {
        const int top = KeyboardIndex(tree, shownSubmenu);
        const int position = shownSubmenu != nullptr ? static_cast<int>(shownSubmenu - tree.data()) : -1;
        HMENU submenu = position >= 0 && top >= 0 ? SubmenuAt(menu.get(), {position}) : nullptr;
        const std::wstring highlighted =
            window.ShowMenu(menu.get(), top, submenu, *options.showSeconds, [] { Out(L"menu shown"); });
        if (!highlighted.empty()) Out(highlighted);
        Out(L"menu closed");
    }

    int status = kExitOk;
    if (!options.invoke.empty()) {
        const LoadedHandler* handler = nullptr;
        UINT offset = 0;
        if (!ResolveInvoke(options, tree, session, handler, offset)) {
            Err(L"no item \"" + options.invoke + L"\" to invoke");
            return kExitFailed;
        }
        const HRESULT result = Invoke(*handler, offset, window.get(), options);
        // The handler's own words first, then the system's for its result.
        for (const std::wstring& line : debugLines.Take()) Out(L"debug output: " + line);
        Out(L"InvokeCommand offset " + std::to_wstring(offset) + L" of " + handler->entry.name + L": " +
            (SUCCEEDED(result) ? L"S_OK" : L"failed with " + ResultInWords(result)));
        if (FAILED(result)) status = kExitFailed;
    }
    return status;
}

// What both menus need first: whole paths, and the file manager's apartment.
int Start(Options options) {
    if (const std::wstring problem = ResolveFolders(options.kind, options.paths); !problem.empty()) {
        Err(L"tessaly-shell: " + problem);
        return kExitFailed;
    }
    Apartment apartment;
    if (FAILED(apartment.result())) {
        Err(L"OleInitialize failed with " + HresultText(apartment.result()));
        return kExitFailed;
    }
    return options.command ? RunCommandMode(options, Out, Err) : Run(options);
}

}  // namespace
}  // namespace tessaly::shellhost

int main() {
    using namespace tessaly::shellhost;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; argv != nullptr && i < count; ++i) arguments.emplace_back(argv[i]);
    ::LocalFree(argv);

    try {
        const ParseResult parsed = ParseCommandLine(arguments);
        if (parsed.help) {
            Out(kUsage);
            return kExitOk;
        }
        if (!parsed.options) {
            Err(L"tessaly-shell: " + parsed.error);
            Err(kUsage);
            return kExitUsage;
        }
        return Start(*parsed.options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessaly-shell: %s\n", error.what());
        return kExitFailed;
    }
}
