#pragma once
// Small helpers the tests share: a fresh folder per test, fixture texts in the form
// a real console hands them over.

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::testing {

// A new empty folder under the system's temporary folder, removed on destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A fixture file as stored: UTF-8 with LF line ends.
std::string ReadFixture(std::string_view relativePath);

// The fixture with CR LF line ends, still UTF-8: the text the program reads.
std::string FixtureWithCrLf(std::string_view relativePath);

// The fixture as Windows prints it: CR LF line ends, code page 936.
std::string FixtureAsConsoleBytes(std::string_view relativePath);

// Texts that break a command line or a query built carelessly: backslashes (at the
// end above all), both quotes, the characters a command interpreter or a query reads,
// blanks at the ends, a tab, Chinese text (one character of it with a backslash for
// its second byte in code page 936), text that is not valid code page 936, and the
// empty text.
std::vector<std::string> HostileTexts();

// Reads or writes a host file byte for byte.
std::string ReadHostFile(const std::filesystem::path& file);
void WriteHostFile(const std::filesystem::path& file, std::string_view bytes);

// While one lives, failure reports are collected here instead of failing the test: for
// a test that causes one on purpose. Outside such a scope every report fails the test
// that is running.
class ExpectedFailureReports {
 public:
  ExpectedFailureReports();
  ~ExpectedFailureReports();
  ExpectedFailureReports(const ExpectedFailureReports&) = delete;
  ExpectedFailureReports& operator=(const ExpectedFailureReports&) = delete;
  std::vector<std::string> Lines() const;

 private:
  friend void CollectReport(std::string_view line);
  mutable std::mutex lock_;
  std::vector<std::string> lines_;
};

}  // namespace lumora::testing
