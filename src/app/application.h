#pragma once
// The program as one object: its platform, its windows, its process-wide state, and the
// start-up that puts the settings and list files into the windows.

#include <functional>
#include <future>
#include <optional>
#include <string_view>

#include "app/join_code_offer.h"
#include "clients/access_control.h"
#include "exec/exec_services.h"
#include "exec/worker_message_boxes.h"
#include "hotspot/hotspot.h"
#include "netconfig/adapter_toolkit.h"
#include "netconfig/network_context.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "shutdown/timed_shutdown.h"
#include "traffic/speed_bar.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/skin.h"
#include "ui/ui_dispatcher.h"

namespace lumora::app {

// The process-wide name that keeps two copies started at the same moment apart.
inline constexpr std::string_view kInstanceName = "LumoraWiFi" LUMORA_VERSION ".SingleInstance";

// The class of the system version as the program branches on it: 1 = 5.0, 2 = 5.1,
// 3 = 5.2, 4 = 6.0, 5 = 6.1 (Windows 7), 6 = 6.2 (Windows 8 and later), -1 any other.
int OsVersionCodeOf(platform::SystemVersion version);

class Application {
 public:
  // Where the program's windows become real, and how the program ends.
  struct ProgramHost {
    // Makes a window model real (the view attaches it).
    std::function<void(ui::WindowModel&)> loadWindow;
    // Ends the program with the exit code once the current handler has returned.
    std::function<void(int exitCode)> endProgram;
  };

  Application(platform::Platform& platform, ui::UiDispatcher& dispatcher,
              ui::MessageBoxes& messages, ProgramHost host);
  ~Application();

  // Program start, as both programs and the tests run it: the main window is loaded,
  // its creation handler runs, and the window is shown. False when another instance
  // runs: its window has been brought up and this program must end at once with exit
  // code 0, having read and written no setting.
  bool Start();

  ui::MainWindow& Main() { return main_; }
  ui::SpeedBarWindow& SpeedBar() { return speedBar_; }
  ui::JoinCodeWindow& JoinCode() { return joinCode_; }
  ui::Skin& Skin() { return skin_; }
  settings::Settings& Settings() { return settings_; }
  exec::ExecServices& Exec() { return exec_; }
  platform::Platform& Platform() { return platform_; }
  ui::MessageBoxes& Messages() { return messages_; }
  void EndProgram(int exitCode) { host_.endProgram(exitCode); }

  // The official web site's address; empty until the update check gives one. Read and
  // written on the UI thread.
  const std::string& OfficialSiteUrl() const { return officialSiteUrl_; }

  // Marks the program as closing, on the UI thread, and ends a timed shutdown for good;
  // false when a way out already runs, which the later request must then leave alone.
  bool BeginClosing();
  // Whether a way out has begun: from then on nothing the user does starts anything.
  bool Closing() const { return closing_; }
  // What every way out does before the program ends, once: the workers of start-up,
  // the announcements and the client lists are ended, the tray icon is removed for good
  // and the hotspot is taken down. Returns when that is done, pumping on the UI thread;
  // a second caller (the end of the session, in the middle of a close) waits for the
  // first one's.
  void ResetForTheEnd();

  // 0 until start-up has computed it; see OsVersionCodeOf.
  int OsVersionCode() const { return osVersionCode_; }
  const exec::WorkerHandle& StartupWorkerHandle() const { return startupWorkerHandle_; }
  netconfig::NetworkContext& Network() { return network_; }
  hotspot::Hotspot& Hotspot() { return hotspot_; }
  clients::AccessControl& Access() { return access_; }

 private:
  // The main window's creation handler, before the window is first shown; false as
  // for Start.
  bool OnMainWindowCreated();
  void AnnouncementCheck();
  void StartupWorker();
  void UpdateCheck();
  void LoadStatisticsPage();
  void StartWithWindowsClicked();
  void AutoStartClicked();
  void ShowStartWithWindowsWarning();
  void ShowInstanceStartedBeside();

  platform::Platform& platform_;
  // The boxes of the program's code: ending a worker closes the box it shows.
  exec::WorkerMessageBoxes messages_;
  ProgramHost host_;
  settings::Settings settings_;
  ui::Skin skin_;
  ui::MainWindow main_;
  ui::SpeedBarWindow speedBar_;
  ui::JoinCodeWindow joinCode_{main_};
  int osVersionCode_ = 0;
  bool reportsVersion62_ = false;
  std::string officialSiteUrl_;
  bool closing_ = false;
  std::optional<std::shared_future<void>> endReset_;
  exec::WorkerHandle announcementWorkerHandle_;
  exec::WorkerHandle startupWorkerHandle_;
  netconfig::AdapterToolkit toolkit_;
  netconfig::NetworkContext network_;
  hotspot::Hotspot hotspot_;
  clients::AccessControl access_;
  traffic::SpeedBar speedBarLogic_;
  JoinCodeOffer joinCodeOffer_{main_, joinCode_, hotspot_};
  shutdown::TimedShutdown timedShutdown_;
  // Last, so that it goes first: every worker has ended and left before the windows
  // and the state it works with are gone, and its posts still queued are dropped.
  exec::ExecServices exec_;
};

}  // namespace lumora::app
