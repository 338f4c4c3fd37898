#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/failure_report.h"
#include "text/cp936.h"

namespace lumora::testing {

void CollectReport(std::string_view line);

namespace {

std::atomic<ExpectedFailureReports*> gExpected{nullptr};

// Every failure the program reports fails the running test, unless it was expected.
class TestFailureSink final : public platform::FailureSink {
 public:
  void Write(std::string_view line) override { CollectReport(line); }
};

class ReportingEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override { platform::SetFailureSink(&sink_); }
  void TearDown() override { platform::SetFailureSink(nullptr); }

 private:
  TestFailureSink sink_;
};

[[maybe_unused]] ::testing::Environment* const kReporting =
    ::testing::AddGlobalTestEnvironment(new ReportingEnvironment);

}  // namespace

void CollectReport(std::string_view line) {
  if (ExpectedFailureReports* expected = gExpected.load()) {
    std::lock_guard guard(expected->lock_);
    expected->lines_.emplace_back(line);
    return;
  }
  ADD_FAILURE() << "the program reported a failure: " << line;
}

ExpectedFailureReports::ExpectedFailureReports() { gExpected = this; }

ExpectedFailureReports::~ExpectedFailureReports() { gExpected = nullptr; }

std::vector<std::string> ExpectedFailureReports::Lines() const {
  std::lock_guard guard(lock_);
  return lines_;
}

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("lumora-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> HostileTexts() {
  return {"a\\",
          "\\\\server\\share\\",
          "\\",
          "a\\\"b",
          "say \"hi\"",
          "\"",
          "O'Brien's",
          "x' OR NetConnectionID<>'",
          "a&b|c",
          "%PATH%",
          "^&^|",
          "<in >out",
          " lead",
          "trail ",
          "tab\there",
          "热点 网络",
          "网络誠",
          "坏" + text::Utf8FromCp936("\x81"),
          ""};
}

std::string ReadHostFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return std::move(content).str();
}

void WriteHostFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFixture(std::string_view relativePath) {
  const std::filesystem::path file = std::filesystem::path(LUMORA_TEST_FIXTURES) / relativePath;
  if (!std::filesystem::exists(file)) throw std::runtime_error("missing fixture " + file.string());
  return ReadHostFile(file);
}

std::string FixtureWithCrLf(std::string_view relativePath) {
  std::string crlf;
  for (const char c : ReadFixture(relativePath)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

std::string FixtureAsConsoleBytes(std::string_view relativePath) {
  return text::Cp936FromUtf8(FixtureWithCrLf(relativePath));
}

}  // namespace lumora::testing
