// The probe that the settings tests rely on sees lines however they are
// written; without this, "no lines seen" would prove nothing.
#include <gtest/gtest.h>

#include "diagnostics/DebugOutput.h"
#include "platform/DebuggerChannel.h"
#include "tests/settings/DebugOutputProbe.h"

namespace tessaly {
namespace {

TEST(DebugOutputProbeTest, SeesLinesWrittenThroughThePlatform) {
    testing::DebugOutputProbe probe;
    platform::OutputDebugLine(L"Tessaly: probe line");
    EXPECT_GT(probe.Finish(), 0u);
}

TEST(DebugOutputProbeTest, SeesLinesWrittenThroughWriteDebugLine) {
    testing::DebugOutputProbe probe;
    WriteDebugLine({L"Tessaly: ", L"probe line"});
    EXPECT_GT(probe.Finish(), 0u);
}

TEST(DebugOutputProbeTest, SeesNothingWhenNothingIsWritten) {
    testing::DebugOutputProbe probe;
    EXPECT_EQ(probe.Finish(), 0u);
}

}  // namespace
}  // namespace tessaly
