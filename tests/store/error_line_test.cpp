// SPDX-License-Identifier: Apache-2.0
// Error lines and the engine's error text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_jet.h"
#include "store/error_line.h"

namespace corvadex::testing {
namespace {

using ::testing::ElementsAre;

TEST(ErrorLine, CodeFollowsThePrefixDirectlyInSignedDecimal) {
  EXPECT_EQ(errorLine("ERROR JetInit ", -1, "t"), "ERROR JetInit -1 - t");
  EXPECT_EQ(errorLine("ERROR", -1, "t"), "ERROR-1 - t");
  EXPECT_EQ(errorLine("ERROR ", 1004, "t"), "ERROR 1004 - t");
  EXPECT_EQ(errorLine("JetGetTableColumnInfo ERROR", -1507, ""),
            "JetGetTableColumnInfo ERROR-1507 - ");
  EXPECT_EQ(errorLine("x ", INT32_MIN, "t"), "x -2147483648 - t");
  EXPECT_EQ(errorLine("x ", 0, "t"), "x 0 - t");
}

TEST(JetErrorText, AsksWithoutInstanceOrSessionAndStopsAtTheFirstNul) {
  FakeJet jet;
  EXPECT_EQ(JetErrorText(jet, -1603), "text of -1603");
  EXPECT_EQ(JetErrorText(jet, 1006), "text of 1006");
  EXPECT_THAT(jet.errorTextCodes, ElementsAre(-1603, 1006));  // asked afresh each time
  EXPECT_EQ(JetErrorText(jet, -1603), "text of -1603");
  EXPECT_EQ(jet.errorTextCodes.size(), 3u);
}

TEST(JetErrorText, WithoutATerminatorAll256BytesAreTaken) {
  FakeJet jet;
  jet.errorText = FakeJet::ErrorTextMode::NoTerminator;
  EXPECT_EQ(JetErrorText(jet, -1), std::string(256, 'x'));
}

TEST(JetErrorText, RefusalGivesTheFixedTextAndTheLineIsStillWritten) {
  FakeJet jet;
  jet.errorText = FakeJet::ErrorTextMode::Refuse;
  EXPECT_EQ(JetErrorText(jet, -1), "Can't retrive the error message");
  LineLog log;
  addErrorLine(log, jet, "ERROR JetTerm ", -1029);
  EXPECT_THAT(log.Lines(), ElementsAre("ERROR JetTerm -1029 - Can't retrive the error message"));
}

}  // namespace
}  // namespace corvadex::testing
