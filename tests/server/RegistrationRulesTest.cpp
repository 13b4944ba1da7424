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
    const std::wstring below = L"CLSID\\" + classId + L"\\InprocServer32";
    struct Case {
        const char* name;
        registry::KeyId root;
        std::wstring path;
        bool unreadable;
        bool perUser;
        bool found;
    };
    const Case cases[] = {
        {"the machine's, machine-wide", registry::kLocalMachine, L"Software\\Classes\\" + below, false, false, true},
        {"the user's, per user", registry::kCurrentUser, L"Software\\Classes\\" + below, false, true, true},
        {"the merged view's, machine-wide", registry::kClassesRoot, below, false, false, false},
        {"the machine's, unreadable", registry::kLocalMachine, L"Software\\Classes\\" + below, true, false, true},
    };
    for (const Case& c : cases) {
        registry::MemoryRegistry memory;
        memory.Deny(c.root, c.path, c.unreadable ? registry::access::kQueryValue : 0);  // makes the key
        EXPECT_EQ(ClassRegisteredInEitherView(memory, classId, c.perUser), c.found) << c.name;
    }
}

TEST(RegistrationRulesTest, DeletingBelowAKeptKeyEnds) {
    registry::MemoryRegistry memory;
    const std::wstring hook = L"Directory\\ShellEx\\ContextMenuHandlers\\TessalyShExt";
    memory.Deny(registry::kClassesRoot, hook + L"\\Old", 0);
    SharedEntryGuard guard(memory, [] { return true; });
    EXPECT_EQ(DeleteKeyWithSubKeys(guard, registry::kClassesRoot, hook.c_str()), win32::kSuccess);
    EXPECT_NE(memory.Dump(registry::kClassesRoot).find(hook + L"\\Old"), std::wstring::npos) << "kept";
}

}  // namespace
}  // namespace tessaly
