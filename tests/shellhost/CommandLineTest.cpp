#include "tools/shellhost/CommandLine.h"

#include <gtest/gtest.h>

namespace tessaly::shellhost {
namespace {

TEST(ShellHostCommandLine, DefaultsToABackgroundClickWithExplorersIdRange) {
    const ParseResult parsed = ParseCommandLine({L"C:\\work"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->kind, ClickKind::Background);
    EXPECT_EQ(parsed.options->paths, std::vector<std::wstring>{L"C:\\work"});
    EXPECT_EQ(parsed.options->idFirst, 100u);
    EXPECT_EQ(parsed.options->idLast, 0x7FFFu);
    EXPECT_FALSE(parsed.options->showSeconds);
}

TEST(ShellHostCommandLine, ReadsEveryOption) {
    const ParseResult parsed =
        ParseCommandLine({L"--drive", L"--null-folder", L"--handler", L"TessalyShExt", L"--first", L"1", L"--last",
                          L"20", L"--flags", L"16", L"--texts", L"--submenu", L"Tessaly", L"--strings", L"--invoke",
                          L"Options...", L"--show", L"3", L"--dialogs", L"2", L"--click", L"Uninstall",
                          L"--close-after", L"5", L"D:\\"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const Options& o = *parsed.options;
    EXPECT_EQ(o.kind, ClickKind::Drive);
    EXPECT_TRUE(o.nullFolder);
    EXPECT_EQ(o.handler, L"TessalyShExt");
    EXPECT_EQ(o.idFirst, 1u);
    EXPECT_EQ(o.idLast, 20u);
    EXPECT_EQ(o.flags, 16u);
    EXPECT_TRUE(o.textsOnly);
    EXPECT_EQ(o.submenu, L"Tessaly");
    EXPECT_TRUE(o.strings);
    EXPECT_EQ(o.invoke, L"Options...");
    EXPECT_EQ(o.showSeconds, 3u);
    EXPECT_EQ(o.dialogSeconds, 2u);
    EXPECT_EQ(o.clickButton, L"Uninstall");
    EXPECT_EQ(o.closeSeconds, 5u);
    EXPECT_EQ(o.paths, std::vector<std::wstring>{L"D:\\"});

    const ParseResult command =
        ParseCommandLine({L"--command", L"--class", L"{0E0BACBB-27B0-4490-AD26-C41FFCFF824C}", L"--dll", L"x.dll",
                          L"--empty-array", L"--menu", L"classic", L"--no-site", L"--invoke-all", L"a"});
    ASSERT_TRUE(command.options) << command.error;
    EXPECT_TRUE(command.options->command && command.options->emptyArray);
    EXPECT_TRUE(command.options->caller == CommandCaller::ClassicMenu && command.options->noSite &&
                command.options->invokeAll);
    EXPECT_EQ(command.options->commandClass, L"{0E0BACBB-27B0-4490-AD26-C41FFCFF824C}");
    EXPECT_EQ(command.options->dll, L"x.dll");
}

TEST(ShellHostCommandLine, AFolderClickTakesASelectionOfSeveral) {
    const ParseResult parsed = ParseCommandLine({L"--folder", L"C:\\a", L"C:\\b"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->paths, (std::vector<std::wstring>{L"C:\\a", L"C:\\b"}));
}

TEST(ShellHostCommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::wstring>> bad = {
        {},                                   // no path
        {L"a", L"b"},                         // two paths, but no --folder
        {L"--first", L"x", L"a"},             // not a number
        {L"--first", L"-1", L"a"},            // no sign
        {L"--show"},                          // value missing
        {L"--first", L"50", L"--last", L"49", L"a"},
        {L"--bogus", L"a"},
        {L"--click", L"OK", L"a"},  // clicking needs the dialog watcher
        {L"--invoke", L"65536", L"a"},  // beyond the 16 bits of a command offset
        {L"--close-after", L"4294968", L"a"},  // its milliseconds beyond 32 bits
        {L"--dialogs", L"86401", L"a"},         // more than a day
        {L"--null-folder", L"a"},   // a background has no data object to go by
        {L"--dll", L"x.dll", L"a"},                   // Explorer commands' options without --command
        {L"--command", L"--empty-array", L"--folder", L"a"},  // an icon click has its items
        {L"--command", L"--handler", L"Sample", L"a"},  // a command is no handler of the classic menu
        {L"--command", L"--menu", L"second", L"a"},     // only Windows 11's two menus
        {L"--no-site", L"a"},                            // a site is the command's
        {L"--command", L"--invoke-all", L"--invoke", L"0", L"a"},
    };
    for (const auto& arguments : bad) {
        const ParseResult parsed = ParseCommandLine(arguments);
        EXPECT_FALSE(parsed.options);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(ShellHostCommandLine, AUnixPathIsDriveZs) {
    EXPECT_EQ(DriveZPathOf(L"/home/me/Documents"), L"Z:\\home\\me\\Documents");
    EXPECT_EQ(DriveZPathOf(L"/"), L"Z:\\");
    EXPECT_EQ(DriveZPathOf(L"C:\\work"), std::nullopt);
    EXPECT_EQ(DriveZPathOf(L"work/notes"), std::nullopt);
}

TEST(ShellHostCommandLine, OffsetIsDigitsOnly) {
    EXPECT_EQ(OffsetOf(L"6"), 6u);
    EXPECT_EQ(OffsetOf(L"Options..."), std::nullopt);
    EXPECT_EQ(OffsetOf(L"6a"), std::nullopt);
    EXPECT_EQ(OffsetOf(L""), std::nullopt);
    EXPECT_EQ(OffsetOf(L"1234567890"), std::nullopt);  // too long to be an offset
}

}  // namespace
}  // namespace tessaly::shellhost
