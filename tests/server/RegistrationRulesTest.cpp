// The plain rules of registration: which DllInstall command line means "per
// user", and how the module path is made fit for a quoted script string.
#include <gtest/gtest.h>

#include "server/RegistrationRules.h"

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

}  // namespace
}  // namespace tessaly
