#include "platform/diagnostic_log.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora::platform {
namespace {

TEST(DiagnosticLog, AppendsLinesAndDropsTheOlderHalfAtTheLimit) {
  std::string log = AppendToDiagnosticLog("", "first", 64);
  log = AppendToDiagnosticLog(log, "second", 64);
  EXPECT_EQ(log, "first\r\nsecond\r\n");

  // Lines of ten bytes: the log never reaches the limit, never holds half a line, and
  // the newest line is always last.
  log.clear();
  for (int i = 0; i < 100; ++i) {
    const std::string line = "line " + std::string(3 - std::to_string(i).size(), '0') +
                             std::to_string(i);
    log = AppendToDiagnosticLog(log, line, 64);
    ASSERT_LT(log.size(), 64u);
    ASSERT_TRUE(log.ends_with(line + "\r\n"));
    ASSERT_EQ(log.size() % 10, 0u) << log;
  }
  EXPECT_GT(log.size(), 20u);  // the newer half stays

  // One line longer than the whole log is shortened, not refused.
  log = AppendToDiagnosticLog("old\r\n", std::string(200, 'x'), 64);
  EXPECT_LT(log.size(), 64u);
  EXPECT_TRUE(log.ends_with("xx\r\n"));
}

}  // namespace
}  // namespace lumora::platform
