#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "tests/support/DebugCapture.h"

namespace tessaly {
namespace {

TEST(DebugOutputTest, PartsAreJoinedIntoOneLine) {
    testing::DebugCapture capture;
    WriteDebugLine({L"Tessaly: ", L"one", L" two"});
    EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{L"Tessaly: one two"});
}

TEST(DebugOutputTest, FormatCharactersInTextsArePrintedAsTheyAre) {
    testing::DebugCapture capture;
    WriteDebugLine({L"Tessaly: ", L"C:\\100%s\\%n%d.txt"});
    EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{L"Tessaly: C:\\100%s\\%n%d.txt"});
}

TEST(DebugOutputTest, OverlongLineIsCutTo1023Characters) {
    testing::DebugCapture capture;
    const std::wstring longText(2000, L'x');
    WriteDebugLine({L"Tessaly: ", longText});
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), kLineBufferChars - 1);
    EXPECT_EQ(lines[0].rfind(L"Tessaly: xxx", 0), 0u);
}

// A line may be composed in DebugText first and then written, whole or as one
// part among others.
TEST(DebugOutputTest, PartsTakenFromDebugTextItselfArePrintedWhole) {
    testing::DebugCapture capture;
    const std::wstring composed = L"Tessaly: composed in place";
    composed.copy(DebugText(), composed.size());
    DebugText()[composed.size()] = L'\0';
    WriteDebugLine({DebugText()});
    const std::wstring_view tail(DebugText() + 9, composed.size() - 9);
    WriteDebugLine({L"Tessaly: again, ", tail, L" ", DebugText()});
    EXPECT_EQ(capture.Lines(), (std::vector<std::wstring>{
                                   L"Tessaly: composed in place",
                                   L"Tessaly: again, composed in place Tessaly: composed in place"}));
}

// Two threads composing lines and error texts at the same time must each see
// only their own text in their own buffers.
TEST(DebugOutputTest, ThreadsDoNotMixTheirBuffers) {
    testing::DebugCapture capture;
    constexpr int kRounds = 2000;
    auto worker = [](const wchar_t* name, bool* clean) {
        for (int i = 0; i < kRounds; ++i) {
            const std::wstring prefix = std::wstring(name) + L"-" + std::to_wstring(i);
            const wchar_t* error = FormatSystemError(prefix.c_str(), 2);
            std::this_thread::yield();
            if (std::wstring(error).rfind(prefix + L" ", 0) != 0) *clean = false;
            WriteDebugLine({L"Tessaly: ", prefix});
            if (std::wstring(DebugText()) != L"Tessaly: " + prefix) *clean = false;
        }
    };
    bool cleanA = true, cleanB = true;
    std::thread a(worker, L"alpha", &cleanA);
    std::thread b(worker, L"beta", &cleanB);
    a.join();
    b.join();
    EXPECT_TRUE(cleanA);
    EXPECT_TRUE(cleanB);
    const auto lines = capture.Lines();
    EXPECT_EQ(lines.size(), 2u * kRounds);
    for (const auto& line : lines)
        ASSERT_TRUE(line.rfind(L"Tessaly: alpha-", 0) == 0 || line.rfind(L"Tessaly: beta-", 0) == 0) << line.c_str();
}

}  // namespace
}  // namespace tessaly
