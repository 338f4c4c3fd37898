#pragma once
// The whole program on the simulated PC with the headless UI: what the flow tests
// start, click through and read.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "platform/sim/end_state.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/simulated_drive.h"
#include "platform/sim/simulated_pc.h"
#include "support/test_support.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_ui.h"
#include "ui/user_input.h"

namespace lumora::testing {

// A Windows 7 PC that reaches the Internet over its wired connection, with a wireless
// one that is not connected.
inline constexpr std::string_view kWindows7Pc = R"(
[connection1]
name=本地连接
[connection2]
name=无线网络连接
kind=wireless
status=7
[network]
internet=LAN 连接
)";
// A later system (Windows 10) that reaches the Internet over its wired connection; its
// wireless one is not connected.
inline constexpr std::string_view kLaterPc = R"(
[system]
version=6.2
[connection1]
name=以太网
guid={1A2B3C4D-0000-4000-8000-000000000001}
[connection2]
name=WLAN
kind=wireless
status=7
[network]
internet=以太网
)";
// What makes it a PC for the system's mobile hotspot: a driver without hosted network.
inline constexpr std::string_view kDriverWithoutHostedNetwork = R"(
[hosted]
hosted_supported=no
[mobile_hotspot]
available=yes
connection_name=本地连接* 2
)";

// Counts the reads and writes that reach drive C.
class CountingDrive final : public platform::FilePort {
 public:
  explicit CountingDrive(platform::FilePort& inner) : inner_(inner) {}
  std::optional<std::string> ReadWholeFile(std::string_view path) override;
  bool FileExists(std::string_view path) override;
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override;
  std::atomic<int> reads{0};
  std::atomic<int> writes{0};

 private:
  platform::FilePort& inner_;
};

class HeadlessProgram {
 public:
  explicit HeadlessProgram(platform::sim::Scenario scenario = platform::sim::DefaultScenario());
  // The same machine with another mobile hotspot in place of the simulated one: the
  // real system's, for a test of the Windows side.
  HeadlessProgram(platform::sim::Scenario scenario, platform::MobileHotspotPort& mobileHotspot);
  ~HeadlessProgram();

  // A file on drive C, as CP936 bytes or as UTF-8 text to be stored in CP936.
  void PutRawFile(std::string_view windowsPath, std::string_view bytes);
  void PutFile(std::string_view windowsPath, std::string_view utf8);
  std::string RawFile(std::string_view windowsPath);

  // Program start: the main window is loaded, its creation handler runs, and the window
  // is shown unless the program ended there. Returns whether it goes on.
  bool Start();
  // Runs the UI thread's events until every worker has left and nothing is queued.
  void Settle();
  // Lets ms pass on the manual clock, firing timers and running posts.
  void RunFor(std::uint32_t ms);
  // Runs the UI thread's events until the condition holds, which workers bring about;
  // false when it does not within a few seconds of real time.
  bool PumpUntil(const std::function<bool()>& condition);

  // How the program has left the machine, as LumoraWiFiSim.exe writes it at its end.
  platform::sim::EndState EndState();
  // The program's end once its way out has run: the application goes, and with it every
  // worker, as when the real program leaves its message loop.
  void EndProgram();

  app::Application& App() { return *app_; }
  ui::MainWindow& Main() { return app_->Main(); }

  TempFolder folder;
  platform::sim::SimulatedDrive drive{folder.Path()};
  CountingDrive countingDrive{drive};
  platform::sim::ManualClock clock;
  platform::sim::SimulatedPc pc;
  ui::headless::HeadlessDispatcher dispatcher{clock};
  ui::headless::HeadlessMessageBoxes messages;
  ui::headless::HeadlessTimers timers{clock};
  platform::Platform platform;
  std::vector<ui::WindowModel*> loadedWindows;
  // What a view does as it makes a window real (Windows may move it at once): a test
  // plays it here.
  std::function<void(ui::WindowModel&)> onWindowLoaded;
  std::optional<int> exitCode;

 private:
  HeadlessProgram(platform::sim::Scenario scenario, platform::MobileHotspotPort* mobileHotspot);

  std::unique_ptr<app::Application> app_;
};

// A program started on the machine a scenario text describes, with the settings file
// it is given, its start-up done.
struct StartedPc {
  explicit StartedPc(std::string_view scenario, std::string_view settingsFile = {});
  explicit StartedPc(platform::sim::Scenario scenario, std::string_view settingsFile = {});
  ui::MainWindow& w() { return program.Main(); }
  netconfig::NetworkContext& net() { return program.App().Network(); }
  HeadlessProgram program;
};

}  // namespace lumora::testing
