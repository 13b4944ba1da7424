// The soak's call into the Explorer command of Windows 11's menu: one
// command's whole life within the call, asked about a click as either of
// the file manager's menus asks it (the shell host's driver builds the click
// and asks the classic menu's second question), with a site or without,
// its subcommands walked with any counts, skips, resets and clones, and one
// of the soak's own files opened.
#include <cwchar>

#include "tools/shellhost/CommandDriver.h"
#include "tools/shellhost/MenuTree.h"
#include "tools/shellhost/OtherApartment.h"
#include "tools/soak/SoakCalls.h"

namespace tessaly::soak {

namespace {

constexpr wchar_t kDash[] = L" \u2014 ";

struct Click {
    const char* what;
    shellhost::ClickKind kind;
    std::vector<std::wstring> paths;
    bool emptyArray;
    bool shown;
};

}  // namespace

void Runner::ExplorerCommand(Rng& rng) {
    using shellhost::ClickKind;
    const Click clicks[] = {
        {"icon of the folder of 6 files", ClickKind::Folder, {m_places.few.Path()}, false, true},
        {"background of the folder of 150 files", ClickKind::Background, {m_places.many.Path()}, false, true},
        {"background of the odd folder, empty array", ClickKind::Background, {m_places.odd.Path()}, true, true},
        {"icon of the empty folder", ClickKind::Folder, {m_places.empty.Path()}, false, true},
        {"icon of the deep folder", ClickKind::Folder, {m_places.deep}, false, true},
        {"two folder icons", ClickKind::Folder, {m_places.few.Path(), m_places.many.Path()}, false, false},
        {"a plain file", ClickKind::Folder, {m_places.file}, false, false},
    };
    const Click& click = rng.Pick(clicks);
    const SettingsSeen settings = ReadSettingsAsStored();
    const bool classicMenu = rng.Percent(50);
    const bool withSite = rng.Percent(80);
    // Without a site nothing says which folder's background was clicked.
    const bool shown = click.shown && (withSite || click.kind != ClickKind::Background);
    Calling(Format("Explorer command (%s, %s menu, %s; FileCount %ld, accessed %ld, modified %ld)", click.what,
                   classicMenu ? "classic" : "first", withSite ? "a site" : "no site",
                   static_cast<long>(settings.fileCount), static_cast<long>(settings.accessed),
                   static_cast<long>(settings.modified)));

    shellhost::CommandClick made;
    std::wstring failedCall;
    Expect(shellhost::PrepareCommandClick(click.kind, click.paths, click.emptyArray, made, failedCall) == S_OK,
           Check::Result, "set-up: the click could not be made");
    if (!withSite) made.site.reset();
    testing::ComRef<IClassFactory> factory(m_server.Factory(testing::kCommandClass));
    testing::ComRef<IExplorerCommand> command;
    Expect(factory->CreateInstance(nullptr, IID_IExplorerCommand, command.out()) == S_OK, Check::Result,
           "CreateInstance of the command failed");
    testing::ComRef<IObjectWithSite> site;
    Expect(command->QueryInterface(IID_IObjectWithSite, site.out()) == S_OK &&
               (!withSite || site->SetSite(made.site.get()) == S_OK),
           Check::Result, "SetSite failed");

    // The first menu asks once, allowed to be slow; the classic menu asks
    // first on its UI thread, then a new instance from another apartment.
    EXPCMDSTATE state = ECS_DISABLED;
    HRESULT result = command->GetState(made.items.get(), !classicMenu, &state);
    const EXPCMDSTATE expectedState = shown ? ECS_ENABLED : ECS_HIDDEN;
    if (classicMenu) {
        Expect(result == S_OK && state == expectedState, Check::Result, "GetState(FALSE) of a local folder");
        const shellhost::OtherApartmentAnswer second = shellhost::AskFromAnotherApartment(
            [&](shellhost::ComPtr<IExplorerCommand>& another) {
                return factory->CreateInstance(nullptr, IID_IExplorerCommand, another.put_void());
            },
            made.items.get(), made.site.get(), 60);
        Expect(second.problem.empty(), Check::Result, "the second GetState could not be asked");
        result = second.result;
        state = second.state;
    }
    Result(Entry::ExplorerCommand, result);
    Expect(result == S_OK && state == expectedState, Check::Result,
           "GetState: expected S_OK and the command " + std::string(shown ? "shown" : "hidden"));
    NoLines();
    if (!shown && rng.Percent(70)) return;

    testing::ComRef<IEnumExplorerCommand> list;
    Expect(command->EnumSubCommands(reinterpret_cast<IEnumExplorerCommand**>(list.out())) == S_OK, Check::Result,
           "EnumSubCommands failed");
    for (const std::wstring& line : Lines())
        Expect(line.rfind(L"Tessaly: CreateFile failed for file \"", 0) == 0, Check::DebugLine,
               "unexpected debug line");

    // The whole list, then calls of any shape checked against it.
    std::vector<testing::ComRef<IExplorerCommand>> all;
    for (testing::ComRef<IExplorerCommand> sub; list->Next(1, reinterpret_cast<IExplorerCommand**>(sub.out()),
                                                           nullptr) == S_OK;)
        all.push_back(std::move(sub));
    std::size_t position = all.size();
    for (unsigned step = rng.Below(12); step > 0; --step) {
        const ULONG count = rng.Below(6);
        const std::size_t left = all.size() - position;
        const ULONG expected = static_cast<ULONG>(count < left ? count : left);
        switch (rng.Below(4)) {
            case 0: {
                IExplorerCommand* got[5] = {};
                const bool countless = count == 1 && rng.Percent(50);  // allowed for one only
                ULONG fetched = 99;
                const HRESULT next = list->Next(count, got, countless ? nullptr : &fetched);
                if (countless) fetched = next == S_OK ? 1 : 0;
                Expect(fetched == expected && next == (expected == count ? S_OK : S_FALSE), Check::Result,
                       Format("Next(%lu) at %u of %u", count, static_cast<unsigned>(position),
                              static_cast<unsigned>(all.size())));
                for (ULONG i = 0; i < fetched && i < 5; ++i) {
                    Expect(got[i] == all[position + i].get(), Check::Result, "Next gave another subcommand");
                    got[i]->Release();
                }
                position += expected;
                break;
            }
            case 1:
                Expect(list->Skip(count) == (expected == count ? S_OK : S_FALSE), Check::Result, "Skip");
                position += expected;
                break;
            case 2:
                Expect(list->Reset() == S_OK, Check::Result, "Reset");
                position = 0;
                break;
            default: {
                testing::ComRef<IEnumExplorerCommand> clone;
                Expect(list->Clone(reinterpret_cast<IEnumExplorerCommand**>(clone.out())) == S_OK, Check::Result,
                       "Clone");
                list = std::move(clone);  // the clone goes on from the same place
            }
        }
    }

    // The submenu's shape: a list per list that is on (at most FileCount
    // files each, then a separator), "Options..." last and alone when both are off.
    const bool bothOff = settings.accessed == 0 && settings.modified == 0;
    const long lists = bothOff ? 0 : (settings.accessed != 0 ? 1 : 0) + (settings.modified != 0 ? 1 : 0);
    long separators = 0, inList = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPCMDFLAGS flags = 0;
        Expect(all[i]->GetFlags(&flags) == S_OK, Check::Result, "GetFlags");
        if (flags & ECF_ISSEPARATOR) {
            ++separators;
            inList = 0;
            continue;
        }
        LPWSTR title = nullptr;
        Expect(all[i]->GetTitle(nullptr, &title) == S_OK && title != nullptr, Check::Result, "GetTitle");
        const std::wstring text = title;
        ::CoTaskMemFree(title);
        if (i + 1 == all.size()) {
            Expect(text == L"Options...", Check::Result, "\"Options...\" is not last");
            break;
        }
        const std::size_t dash = text.find(kDash);
        Expect(dash != std::wstring::npos && m_places.Made(shellhost::Displayed(text.substr(dash + std::wcslen(kDash)))),
               Check::Result,
               "a file item that names no file of the folder");
        Expect(++inList <= settings.fileCount, Check::Result, "a list longer than FileCount");
    }
    Expect(!all.empty() && separators == lists, Check::Result, Format("%ld separators", separators));
    NoLines();

    // One of the soak's files, opened as the menu opens it: no program
    // starts from them, so it opens or fails with the shell's reason. The
    // options sheet needs a display, which the soak has not.
    if (all.size() < 2 || !rng.Percent(30)) return;
    IExplorerCommand* item = all[rng.Below(static_cast<unsigned>(all.size() - 1))].get();
    EXPCMDFLAGS flags = 0;
    item->GetFlags(&flags);
    if (flags & ECF_ISSEPARATOR) return;
    const HRESULT invoked = item->Invoke(made.items.get(), nullptr);
    const std::vector<std::wstring> lines = Lines();
    const bool refused =
        invoked == E_FAIL && lines.size() == 1 &&
        lines[0].rfind(L"Tessaly: Exception in CTessalySubCommand::Invoke: ::ShellExecuteEx failed ", 0) == 0;
    Expect((invoked == S_OK && lines.empty()) || refused, Check::Result,
           "Invoke of a file item: expected S_OK, or E_FAIL with the failed start's line");
}

}  // namespace tessaly::soak
