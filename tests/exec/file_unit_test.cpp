#include "exec/file_unit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

#include "clients/list_files.h"
#include "exec/exec_services.h"
#include "platform/sim/simulated_console.h"
#include "platform/sim/simulated_drive.h"
#include "platform/steady_clock.h"
#include "text/ini_text.h"
#include "settings/settings.h"
#include "support/test_support.h"
#include "text/cp936.h"
#include "ui/headless/headless_dispatcher.h"

namespace lumora::exec {
namespace {

class FileUnitTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  platform::sim::SimulatedDrive drive{folder.Path()};
  platform::SteadyClock clock;
  platform::sim::SimulatedConsole console;
  ui::headless::HeadlessDispatcher dispatcher{clock};
  ExecServices exec{console, dispatcher, clock};

  std::string Raw(std::string_view path) {
    const auto host = drive.HostPath(path);
    return std::filesystem::exists(host) ? testing::ReadHostFile(host) : std::string{};
  }
};

TEST_F(FileUnitTest, UnitsOnOneFileNeverLoseEachOther) {
  // Four threads each append 100 lines through read-change-write units.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 100; ++i) {
        ChangeFileAsUnit(drive, "c:\\units.txt", [&](const std::optional<std::string>& old) {
          return old.value_or("") + std::to_string(t) + "-" + std::to_string(i) + "\n";
        });
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const std::string content = Raw("c:\\units.txt");
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 400);
}

TEST_F(FileUnitTest, LeavesTheFileAloneWhenTheChangeDeclines) {
  testing::WriteHostFile(drive.HostPath("c:\\keep.txt"), "old");
  ChangeFileAsUnit(drive, "C:/KEEP.TXT", [](const std::optional<std::string>&) {
    return std::optional<std::string>{};
  });
  EXPECT_EQ(Raw("c:\\keep.txt"), "old");
  EXPECT_EQ(ReadFileAsUnit(drive, "c:\\none.txt"), std::nullopt);
  // No temporary file is left beside the real ones.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

std::string ListGeneration(int generation) {
  std::string text;
  for (int i = 0; i < 200; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "AA-BB-CC-DD-%02X-%02X+", generation & 0xFF, i);
    text += line;
    text += "设备" + std::to_string(generation) + "\r\n";
  }
  return text;
}

// Tells the test when a replace of a file has begun, so that ends can be aimed at
// every stage of a worker's writes whatever the machine's speed.
class WriteWatchingDrive final : public platform::FilePort {
 public:
  explicit WriteWatchingDrive(platform::FilePort& inner) : inner_(inner) {}
  std::optional<std::string> ReadWholeFile(std::string_view path) override {
    return inner_.ReadWholeFile(path);
  }
  bool FileExists(std::string_view path) override { return inner_.FileExists(path); }
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override {
    ++replacesBegun;
    return inner_.ReplaceWholeFile(path, bytes);
  }
  std::atomic<int> replacesBegun{0};

 private:
  platform::FilePort& inner_;
};

TEST_F(FileUnitTest, EndingAWorkerAtRandomMomentsLeavesEveryFileOldOrNew) {
  settings::Settings settings(drive);
  settings.WriteSetting("流量条", "是否开", "是");
  clients::WriteListText(drive, clients::kBlacklistPath, ListGeneration(0));

  std::mt19937 random(1210);
  // Each end is aimed at a stage (at once, once the first replace has begun, once the
  // second has) and then lands a random few microseconds later.
  std::uniform_real_distribution<double> delayExponent(0.0, 8.0);
  int endedBeforeAnyWrite = 0, endedBetweenWrites = 0, endedAfterBoth = 0;
  constexpr int kEnds = 900;
  for (int round = 1; round <= kEnds; ++round) {
    const std::string oldList = Raw(clients::kBlacklistPath);
    const std::string oldIni = Raw(settings::kSettingsPath);
    const std::string newListText = ListGeneration(round);
    const std::string newValue = "第" + std::to_string(round) + "代" + std::string(3000, 'x');
    const std::string newIni = text::Cp936FromUtf8(
        text::SetIniValue(text::Utf8FromCp936(oldIni), "user", "ssid", newValue));

    WriteWatchingDrive watched(drive);
    settings::Settings watchedSettings(watched);
    std::atomic<bool> done{false};
    const WorkerHandle worker = exec.StartWorkerThread(
        [&] {
          clients::WriteListText(watched, clients::kBlacklistPath, newListText);
          watchedSettings.WriteSetting("user", "ssid", newValue);
          done = true;
        },
        true);
    const int stage = round % 3;
    while (watched.replacesBegun < stage && !done) std::this_thread::yield();
    const auto delay = std::chrono::microseconds(static_cast<int>(std::exp2(delayExponent(random))) - 1);
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    exec.EndWorkerThread(worker);
    const std::string listAtEnd = Raw(clients::kBlacklistPath);
    const std::string iniAtEnd = Raw(settings::kSettingsPath);
    exec.JoinAllWorkers();

    // Nothing of the worker lands after EndWorkerThread has returned.
    ASSERT_EQ(Raw(clients::kBlacklistPath), listAtEnd) << "round " << round;
    ASSERT_EQ(Raw(settings::kSettingsPath), iniAtEnd) << "round " << round;
    // Each file holds exactly its old or its new content, never a mix.
    const bool listIsNew = listAtEnd == text::Cp936FromUtf8(newListText);
    const bool iniIsNew = iniAtEnd == newIni;
    ASSERT_TRUE(listIsNew || listAtEnd == oldList) << "round " << round;
    ASSERT_TRUE(iniIsNew || iniAtEnd == oldIni) << "round " << round;
    ASSERT_FALSE(iniIsNew && !listIsNew) << "the writes happened out of order";
    (listIsNew ? (iniIsNew ? endedAfterBoth : endedBetweenWrites) : endedBeforeAnyWrite)++;
  }
  EXPECT_EQ(settings.ReadSetting("流量条", "是否开"), "是");
  std::printf("ended a writing worker %d times: %d before any write, %d between the two "
              "writes, %d after both\n",
              kEnds, endedBeforeAnyWrite, endedBetweenWrites, endedAfterBoth);
  // An end aimed at a write that has begun waits for it, so every stage is reached.
  EXPECT_GT(endedBeforeAnyWrite, 0);
  EXPECT_GT(endedBetweenWrites, 0);
  EXPECT_GT(endedAfterBoth, 0);
}

}  // namespace
}  // namespace lumora::exec

namespace lumora::exec {
namespace {

// A drive whose one file is there but held by another program.
class HeldFileDrive final : public platform::FilePort {
 public:
  std::optional<std::string> ReadWholeFile(std::string_view) override { return std::nullopt; }
  bool FileExists(std::string_view) override { return true; }
  bool ReplaceWholeFile(std::string_view, std::string_view) override {
    ++replaces;
    return true;
  }
  int replaces = 0;
};

TEST(FileUnitHeldFile, AFileThatCannotBeReadIsNotWrittenFromNothing) {
  testing::ExpectedFailureReports reports;
  HeldFileDrive drive;
  settings::Settings settings(drive);
  settings.WriteSetting("user", "ssid", "new");
  clients::ChangeListText(drive, clients::kBlacklistPath,
                          [](const std::string& text) { return text + "AA-BB-CC-DD-EE-FF+x"; });
  EXPECT_EQ(drive.replaces, 0);
  // Each file left alone is reported, so that a user can tell why a change did not stay.
  EXPECT_EQ(reports.Lines().size(), 2u);
}

}  // namespace
}  // namespace lumora::exec
