#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "diagnostics/ErrorText.h"
#include "platform/SystemErrors.h"

namespace tessaly {
namespace {

TEST(FormatSystemErrorTest, PrefixSystemTextAndHexCode) {
    const std::wstring text = FormatSystemError(L"::ShellExecuteEx failed", 2);
    const std::wstring system = platform::SystemMessageText(2);
    ASSERT_FALSE(system.empty());
    // The system's text is used as it comes, line end included.
    EXPECT_EQ(system.substr(system.size() - 2), L"\r\n");
    EXPECT_EQ(text, L"::ShellExecuteEx failed " + system + L" (0x2)");
}

TEST(FormatSystemErrorTest, EmptyPrefixStartsWithBlank) {
    const std::wstring text = FormatSystemError(L"", 5);
    EXPECT_EQ(text, L" " + platform::SystemMessageText(5) + L" (0x5)");
}

TEST(FormatSystemErrorTest, HResultCodeIsWrittenInLowerCaseHexWithoutPadding) {
    const std::wstring text = FormatSystemError(L"p", 0x80070057u);
    EXPECT_EQ(text, L"p " + platform::SystemMessageText(0x80070057u) + L" (0x80070057)");
    EXPECT_NE(std::wstring(FormatSystemError(L"p", 0xABCu)).find(L"(0xabc)"), std::wstring::npos);
}

TEST(FormatSystemErrorTest, CodeWithoutSystemTextGivesEmptyTextPart) {
    EXPECT_EQ(std::wstring(FormatSystemError(L"x", 0x2FFFFFFFu)), L"x  (0x2fffffff)");
}

TEST(FormatSystemErrorTest, MinusOneStandsForTheThreadsLastError) {
    platform::SetLastError(5);
    const std::wstring viaLastError = FormatSystemError(L"x", kLastErrorCode);
    EXPECT_EQ(viaLastError, std::wstring(FormatSystemError(L"x", 5)));
}

TEST(FormatSystemErrorTest, PercentSignsInThePrefixArePrintedAsTheyAre) {
    const std::wstring text = FormatSystemError(L"%s %d %n 100%", 0x2FFFFFFFu);
    EXPECT_EQ(text, L"%s %d %n 100%  (0x2fffffff)");
}

TEST(FormatSystemErrorTest, PrefixMayBeTheLastTextItself) {
    const wchar_t* first = FormatSystemError(L"outer", 0x2FFFFFFFu);
    EXPECT_EQ(std::wstring(FormatSystemError(first, 0x2FFFFFFEu)), L"outer  (0x2fffffff)  (0x2ffffffe)");
    EXPECT_EQ(std::wstring(FormatSystemError(first + 7, 0x2FFFFFFFu)), L"(0x2fffffff)  (0x2ffffffe)  (0x2fffffff)");
}

TEST(FormatSystemErrorTest, OverlongPrefixIsCutToTheBuffer) {
    const std::wstring prefix(5000, L'p');
    const std::wstring text = FormatSystemError(prefix.c_str(), 2);
    EXPECT_EQ(text.size(), kLineBufferChars - 1);
}

TEST(FormatSystemErrorTest, EachThreadHasItsOwnBuffer) {
    const wchar_t* mine = FormatSystemError(L"main", 2);
    const wchar_t* theirs = nullptr;
    std::thread([&] { theirs = FormatSystemError(L"other", 5); }).join();
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(std::wstring(mine).rfind(L"main ", 0), 0u);
}

TEST(WidenMessageTest, ShortMessagesAreKeptWhole) {
    EXPECT_EQ(WidenMessage("Too few command IDs allocated"), L"Too few command IDs allocated");
    EXPECT_EQ(WidenMessage(""), L"");
}

TEST(WidenMessageTest, LongMessagesAreCutTo259Characters) {
    std::string message;
    for (int i = 0; i < 300; ++i) message.push_back(static_cast<char>('a' + i % 26));
    const std::wstring wide = WidenMessage(message.c_str());
    ASSERT_EQ(wide.size(), 259u);
    EXPECT_EQ(wide, std::wstring(message.begin(), message.begin() + 259));
}

}  // namespace
}  // namespace tessaly
