#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "diagnostics/EntryPoint.h"
#include "tests/support/DebugCapture.h"

namespace tessaly {
namespace {

TEST(EntryPointTest, SuccessWritesNothingAndReturnsTheWorksResult) {
    testing::DebugCapture capture;
    const HResult result = RunEntryPoint(L"QueryContextMenu", hr::kFail, [](HResult& r) { r = 7; });
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST(EntryPointTest, FailureWritesOneLineNamingTheOperation) {
    testing::DebugCapture capture;
    const HResult result = RunEntryPoint(L"QueryContextMenu", hr::kFail, [](HResult&) {
        throw std::runtime_error("Too few command IDs allocated");
    });
    EXPECT_EQ(result, hr::kFail);
    EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{
                                   L"Tessaly: Exception in CTessalyShExt::QueryContextMenu: Too few command IDs "
                                   L"allocated"});
}

TEST(EntryPointTest, SameFailureInAnotherOperationGivesThatOperationsResult) {
    testing::DebugCapture capture;
    const HResult result = RunEntryPoint(L"InvokeCommand", hr::kInvalidArg, [](HResult&) {
        throw std::runtime_error("Too few command IDs allocated");
    });
    EXPECT_EQ(result, hr::kInvalidArg);
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].rfind(L"Tessaly: Exception in CTessalyShExt::InvokeCommand: ", 0), 0u);
}

TEST(EntryPointTest, ResultReachedBeforeTheFailureIsKept) {
    testing::DebugCapture capture;
    const HResult result = RunEntryPoint(L"Initialize", hr::kInvalidArg, [](HResult& r) {
        r = hr::kOk;  // the folder was stored
        throw std::bad_alloc();
    });
    EXPECT_EQ(result, hr::kOk);
    EXPECT_EQ(capture.Lines().size(), 1u);
}

TEST(EntryPointTest, LongMessageIsCarriedWithItsFirst259Characters) {
    testing::DebugCapture capture;
    const std::string message(300, 'm');
    RunEntryPoint(L"GetCommandString", hr::kInvalidArg, [&](HResult&) { throw std::logic_error(message); });
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0],
              L"Tessaly: Exception in CTessalyShExt::GetCommandString: " + std::wstring(259, L'm'));
}

TEST(EntryPointTest, PercentSignsInTheMessageArePrintedAsTheyAre) {
    testing::DebugCapture capture;
    RunEntryPoint(L"InvokeCommand", hr::kInvalidArg, [](HResult&) { throw std::runtime_error("50%s %n done"); });
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], L"Tessaly: Exception in CTessalyShExt::InvokeCommand: 50%s %n done");
}

TEST(EntryPointTest, NonStandardExceptionsAreStoppedToo) {
    testing::DebugCapture capture;
    const HResult result = RunEntryPoint(L"InvokeCommand", hr::kInvalidArg, [](HResult&) { throw 42; });
    EXPECT_EQ(result, hr::kInvalidArg);
    EXPECT_EQ(capture.Lines().size(), 1u);
}

}  // namespace
}  // namespace tessaly
