// The plain rules of registration: which DllInstall command line means "per
// user", how the module path is made fit for a quoted script string, and
// where the other build's class is looked for before a shared entry goes.
#include <gtest/gtest.h>

#include "platform/registry/MemoryRegistry.h"
#include "server/KeyDeletion.h"
#include "server/RegistrationRules.h"
#include "server/SharedEntryGuard.h"

namespace tessaly {
namespace {

TEST(RegistrationRulesTest, OnlyUserInAnyLetterCaseAsksForPerUserRegistration) {
    struct Case {
        const wchar_t* commandLine;
        bool perUser;
    };
    const Case cases[] = {{L"user", true},  {L"USER", true},   {L"uSeR", true},   {L"users", false},
                          {L"use", false},  {L"", false},      {nullptr, false},  {L" user", false},
                          {L"user ", false}, {L"\u00FCser", false}};
    for (const Case& c : cases)
        EXPECT_EQ(c.perUser, IsPerUserCommandLine(c.commandLine)) << (c.commandLine ? "line" : "null");
}

TEST(RegistrationRulesTest, ModulePathQuotesAreDoubledAndALongPathIsCutBetweenCharacters) {
    EXPECT_EQ(L"C:\\Team''s Tools\\T.dll", EscapeModulePath(L"C:\\Team's Tools\\T.dll"));
    EXPECT_EQ(L"", EscapeModulePath(nullptr));
    // 518 characters and a quote: the doubled quote no longer fits, and
    // half of it would leave the script string open.
    const std::wstring almost(kMaxEscapedPathChars - 1, L'a');
    EXPECT_EQ(almost, EscapeModulePath((almost + L"'b").c_str()));
    EXPECT_EQ(kMaxEscapedPathChars, EscapeModulePath(std::wstring(600, L'\'').c_str()).size() + 1);
}

// Windows merges the user's classes over the machine's in HKEY_CLASSES_ROOT,
// where a per-user registration would pass for the machine's: the lookup goes
// below each one (the in-memory registry keeps the roots apart, as Wine does).
TEST(RegistrationRulesTest, TheOtherClassIsLookedForWhereTheModeRegistersAndAnUnreadableOneCounts) {
    const std::wstring classId = L"{B922807E-EF82-4915-A30C-4C892F724740}";
    const std::wstring below = L"CLSID\\" + classId + L"\\InprocServer32", classes = L"Software\\Classes\\" + below;
    const auto found = [&](registry::KeyId root, const std::wstring& path, std::uint32_t refused, bool perUser) {
        registry::MemoryRegistry memory;
        memory.Deny(root, path, refused);  // makes the key
        return ClassRegisteredInEitherView(memory, classId, perUser);
    };
    EXPECT_TRUE(found(registry::kLocalMachine, classes, 0, false));
    EXPECT_FALSE(found(registry::kClassesRoot, below, 0, false)) << "the merged view";
    EXPECT_TRUE(found(registry::kCurrentUser, classes, 0, true));
    EXPECT_TRUE(found(registry::kLocalMachine, classes, registry::access::kQueryValue, false)) << "unreadable";
}

TEST(RegistrationRulesTest, DeletingBelowAKeptKeyEnds) {
    registry::MemoryRegistry memory;
    const std::wstring hook = L"Directory\\ShellEx\\ContextMenuHandlers\\TessalyShExt";
    memory.Deny(registry::kClassesRoot, hook + L"\\Old", 0);
    SharedEntryGuard guard(memory, [](SharedWith) { return true; }, false);
    EXPECT_EQ(DeleteKeyWithSubKeys(guard, registry::kClassesRoot, hook.c_str()), win32::kSuccess);
    EXPECT_NE(memory.Dump(registry::kClassesRoot).find(hook + L"\\Old"), std::wstring::npos) << "kept";
}

}  // namespace
}  // namespace tessaly
