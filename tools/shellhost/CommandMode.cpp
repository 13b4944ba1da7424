#include "tools/shellhost/CommandMode.h"

#include <windows.h>

#include "tools/shellhost/CommandDriver.h"
#include "tools/shellhost/DebugLines.h"
#include "tools/shellhost/DialogWalker.h"
#include "tools/shellhost/HandlerActivation.h"
#include "tools/shellhost/HandlerSession.h"
#include "tools/shellhost/HostWindow.h"

namespace tessaly::shellhost {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 2;

HRESULT CreateCommand(const Options& options, HandlerActivation& activation, ComPtr<IExplorerCommand>& command,
                      std::wstring& note) {
    CLSID classId{};
    const HRESULT parsed = ::CLSIDFromString(options.commandClass.c_str(), &classId);
    if (FAILED(parsed)) {
        note = L"not a class id: " + options.commandClass;
        return parsed;
    }
    if (options.dll.empty())
        return activation.Create(classId, options.commandClass, IID_IExplorerCommand, command.put_void(), note);
    note = L"created through DllGetClassObject of " + options.dll;
    return activation.CreateFromModule(options.dll, classId, IID_IExplorerCommand, command.put_void(), note);
}

// The subcommand --invoke names: a position, or the first whose title matches.
const MenuNode* ChosenSubcommand(const CommandTree& tree, const std::wstring& invoke) {
    if (tree.nodes.empty()) return nullptr;
    const std::vector<MenuNode>& items = tree.nodes.front().children;
    if (const auto position = OffsetOf(invoke)) {
        for (const MenuNode& item : items)
            if (item.id == *position) return &item;
        return nullptr;
    }
    return FindItem(items, invoke);
}

// Each subcommand --invoke names (or all of them, with --invoke-all), in
// menu order; the exit status of the last failure, or 0.
int InvokeSubcommands(const Options& options, const CommandTree& tree, const CommandClick& click, HWND window,
                      DebugLines& debugLines, const Report& out, const Report& err) {
    std::vector<const MenuNode*> chosen;
    if (options.invokeAll) {
        for (const MenuNode& item : tree.nodes.front().children)
            if (!item.separator) chosen.push_back(&item);
    } else if (!options.invoke.empty()) {
        const MenuNode* item = ChosenSubcommand(tree, options.invoke);
        if (item == nullptr || item->separator) {
            err(L"no subcommand \"" + options.invoke + L"\" to invoke");
            return kExitFailed;
        }
        chosen.push_back(item);
    }
    int status = kExitOk;
    for (const MenuNode* item : chosen) {
        HRESULT result = E_FAIL;
        {
            // Always watched: a window nobody answers must not keep the tool waiting.
            DialogWalker walker(window, options.dialogSeconds.value_or(options.closeSeconds),
                                options.dialogSeconds.has_value(), options.clickButton, out);
            result = tree.subcommands[item->id]->Invoke(click.items.get(), nullptr);
        }
        for (const std::wstring& line : debugLines.Take()) out(L"debug output: " + line);
        out(L"Invoke position " + std::to_wstring(item->id) + L": " +
            (SUCCEEDED(result) ? L"S_OK" : L"failed with " + ResultInWords(result)));
        if (FAILED(result)) status = kExitFailed;
    }
    return status;
}

}  // namespace

int RunCommandMode(const Options& options, const Report& out, const Report& err) {
    DebugLines debugLines;
    HandlerActivation activation;  // outlives the commands it may have made
    const bool full = !options.textsOnly;
    const auto report = full ? out : err;
    if (full)
        out(L"Right-click on " + ClickText(options) + L", as Windows 11's " +
            (options.caller == CommandCaller::FirstMenu ? L"first menu" : L"classic menu") +
            L" asks the Explorer command " + options.commandClass + (options.noSite ? L", without a site" : L""));

    ComPtr<IExplorerCommand> command;
    std::wstring note;
    const HRESULT created = CreateCommand(options, activation, command, note);
    if (!note.empty()) report(L"command: " + note);
    if (FAILED(created) || !command) {
        err(L"creating the command failed with " + ResultInWords(FAILED(created) ? created : E_NOINTERFACE));
        return kExitFailed;
    }
    // The classic menu asks its second question of another instance.
    const CommandMaker another = [&](ComPtr<IExplorerCommand>& made) {
        std::wstring ignored;
        return CreateCommand(options, activation, made, ignored);
    };

    // The file manager's window, which the site gives as its own.
    const HandlerSession noHandlers;
    const HostWindow window(noHandlers, L"Right-click on " + ClickText(options));
    CommandClick click;
    std::wstring failedCall;
    const HRESULT prepared =
        PrepareCommandClick(options.kind, options.paths, options.emptyArray, click, failedCall, window.get());
    if (FAILED(prepared)) {
        err(failedCall + L" failed with " + HresultText(prepared) + L" for " + ClickText(options));
        return kExitFailed;
    }
    if (options.noSite) click.site.reset();
    const CommandTree tree = ReadCommandTree(command.get(), click, options.caller, another);
    for (const std::wstring& line : debugLines.Take()) report(L"debug output: " + line);
    if (tree.pendingFirst) report(L"GetState answered E_PENDING at first");
    for (const std::wstring& problem : tree.problems) report(problem);
    if (FAILED(tree.stateResult)) {
        err(L"GetState failed with " + ResultInWords(tree.stateResult));
        return kExitFailed;
    }
    if (tree.hidden) {
        out(L"hidden: the command does not show in this menu");
        return kExitOk;
    }
    if (full) out(L"");
    for (const std::wstring& line :
         FormatMenu(tree.nodes, full ? Detail::Full : Detail::TextsOnly, IdRange{}, MenuKind::Commands))
        out(line);
    return InvokeSubcommands(options, tree, click, window.get(), debugLines, out, err);
}

}  // namespace tessaly::shellhost
