// The soak's call into the Explorer command of Windows 11's menu: one
// command's whole life within the call, asked about a click as the file
// manager asks it (the shell host's driver builds the click), its
// subcommands walked with any counts, skips, resets and clones.
#include <cwchar>

#include "tools/shellhost/CommandDriver.h"
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
    const BOOL okToBeSlow = rng.Percent(50);
    Calling(Format("Explorer command (%s, may be slow %d; FileCount %ld, accessed %ld, modified %ld)", click.what,
                   okToBeSlow, static_cast<long>(settings.fileCount), static_cast<long>(settings.accessed),
                   static_cast<long>(settings.modified)));

    shellhost::CommandClick made;
    std::wstring failedCall;
    Expect(shellhost::PrepareCommandClick(click.kind, click.paths, click.emptyArray, made, failedCall) == S_OK,
           Check::Result, "set-up: the click could not be made");
    testing::ComRef<IClassFactory> factory(m_server.Factory(testing::kCommandClass));
    testing::ComRef<IExplorerCommand> command;
    Expect(factory->CreateInstance(nullptr, IID_IExplorerCommand, command.out()) == S_OK, Check::Result,
           "CreateInstance of the command failed");
    testing::ComRef<IObjectWithSite> withSite;
    Expect(command->QueryInterface(IID_IObjectWithSite, withSite.out()) == S_OK &&
               withSite->SetSite(made.site.get()) == S_OK,
           Check::Result, "SetSite failed");

    EXPCMDSTATE state = ECS_DISABLED;
    const HRESULT result = command->GetState(made.items.get(), okToBeSlow, &state);
    Result(Entry::ExplorerCommand, result);
    Expect(result == S_OK && state == (click.shown ? ECS_ENABLED : ECS_HIDDEN), Check::Result,
           "GetState: expected S_OK and the command " + std::string(click.shown ? "shown" : "hidden"));
    NoLines();
    if (!click.shown && rng.Percent(70)) return;

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
        Expect(dash != std::wstring::npos && m_places.Made(text.substr(dash + std::wcslen(kDash))), Check::Result,
               "a file item that names no file of the folder");
        Expect(++inList <= settings.fileCount, Check::Result, "a list longer than FileCount");
    }
    Expect(!all.empty() && separators == lists, Check::Result, Format("%ld separators", separators));
    NoLines();
}

}  // namespace tessaly::soak
