// Client-scan benchmark: one scan of 250 devices on the hosted interface, all with
// recorded names, against a device-name file of 1,000 lines and a blacklist of 200, on
// the simulated PC. It prints the time of one scan and, as the baseline measured in
// the same run, the time of reading the three list files once.
//   client_scan_bench [scans]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/application.h"
#include "clients/list_files.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/simulated_drive.h"
#include "platform/sim/simulated_pc.h"
#include "text/cp936.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_ui.h"
#include "ui/user_input.h"

namespace {

using namespace lumora;
using Clock = std::chrono::steady_clock;

std::string Mac(int n) {
  char mac[18];
  std::snprintf(mac, sizeof mac, "AA-BB-%02X-%02X-%02X-%02X", n >> 24 & 0xFF, n >> 16 & 0xFF,
                n >> 8 & 0xFF, n & 0xFF);
  return mac;
}

void WriteFile(const std::filesystem::path& file, const std::string& utf8) {
  std::ofstream(file, std::ios::binary) << text::Cp936FromUtf8(utf8);
}

double MsSince(Clock::time_point start, int times) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / times;
}

}  // namespace

int main(int argc, char** argv) {
  const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  std::string scenario =
      "[connection1]\nname=本地连接\n[connection2]\nname=无线网络连接\n"
      "kind=wireless\nstatus=7\n[network]\ninternet=LAN 连接\n";
  std::string names, blacklist;
  for (int n = 1; n <= 1000; ++n) names += "\r\n" + Mac(n) + "+设备" + std::to_string(n);
  for (int n = 1; n <= 250; ++n)
    scenario += "[client" + std::to_string(n) + "]\nmac=" + Mac(n * 4) + "\nip=192.168." +
                std::to_string(137 + n / 250) + "." + std::to_string(n % 250 + 2) + "\n";
  for (int n = 0; n < 200; ++n) blacklist += Mac(5000 + n) + "+拦截的设备\r\n";

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lumora-scan-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  platform::sim::SimulatedDrive drive(folder);
  WriteFile(drive.HostPath(clients::kDeviceNamePath), names);
  WriteFile(drive.HostPath(clients::kBlacklistPath), blacklist);

  platform::sim::ManualClock clock;
  platform::sim::SimulatedPc pc(platform::sim::ParseScenario(scenario), &clock);
  ui::headless::HeadlessDispatcher dispatcher(clock);
  ui::headless::HeadlessMessageBoxes messages;
  ui::headless::HeadlessTimers timers(clock);
  dispatcher.SetEventSource([&] { timers.FireDue(); });
  platform::Platform platform{drive,        pc.console,         clock,    pc.system, pc.instances,
                              pc.shell,     pc.network.Ports(), pc.power, pc.site,   pc.registry,
                              pc.logonTasks};
  int exitCode = -1;
  {
    app::Application application(platform, dispatcher, messages,
                                 {[&](ui::WindowModel& window) { timers.Observe(window); },
                                  [&](int code) { exitCode = code; }});
    if (!application.Start()) return 1;
    application.Exec().JoinAllWorkers();
    ui::Click(application.Main().按钮开始);
    application.Exec().JoinAllWorkers();
    while (dispatcher.PendingCount() > 0) dispatcher.ProcessPendingEvents();
    clients::AccessControl& access = application.Access();
    access.RunClientScan();  // warms the caches of the system
    const std::size_t listed = application.Main().超级列表框1.RowCount();

    Clock::time_point start = Clock::now();
    for (int i = 0; i < scans; ++i) {
      access.RunClientScan();
      while (dispatcher.PendingCount() > 0) dispatcher.ProcessPendingEvents();
    }
    const double scanMs = MsSince(start, scans);
    start = Clock::now();
    for (int i = 0; i < scans; ++i)
      for (std::string_view path :
           {clients::kDeviceNamePath, clients::kBlacklistPath, clients::kWhitelistPath})
        clients::ReadListText(drive, path);
    const double readMs = MsSince(start, scans);
    std::printf(
        "client scan: %zu devices listed, %.2f ms a scan (target under 10 ms); "
        "reading the list files once %.2f ms; ratio %.1f\n",
        listed, scanMs, readMs, scanMs / readMs);
    ui::RequestClose(application.Main());
    application.Exec().JoinAllWorkers();
  }
  std::filesystem::remove_all(folder);
  return exitCode == 0 ? 0 : 1;
}
