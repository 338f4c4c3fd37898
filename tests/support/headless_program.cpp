#include "support/headless_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "settings/settings.h"
#include "text/cp936.h"

namespace lumora::testing {

namespace {

platform::NetworkPorts WithMobileHotspot(const platform::NetworkPorts& ports,
                                         platform::MobileHotspotPort* mobileHotspot) {
  if (!mobileHotspot) return ports;
  return {ports.sharing,       ports.connectionManager, ports.wmi,  ports.ipHelper,
          ports.internetState, ports.registry,          ports.wlan, ports.services,
          ports.names,         *mobileHotspot};
}

}  // namespace

std::optional<std::string> CountingDrive::ReadWholeFile(std::string_view path) {
  ++reads;
  return inner_.ReadWholeFile(path);
}

bool CountingDrive::FileExists(std::string_view path) { return inner_.FileExists(path); }

bool CountingDrive::ReplaceWholeFile(std::string_view path, std::string_view bytes) {
  ++writes;
  return inner_.ReplaceWholeFile(path, bytes);
}

HeadlessProgram::HeadlessProgram(platform::sim::Scenario scenario)
    : HeadlessProgram(std::move(scenario), nullptr) {}

HeadlessProgram::HeadlessProgram(platform::sim::Scenario scenario,
                                 platform::MobileHotspotPort& mobileHotspot)
    : HeadlessProgram(std::move(scenario), &mobileHotspot) {}

HeadlessProgram::HeadlessProgram(platform::sim::Scenario scenario,
                                 platform::MobileHotspotPort* mobileHotspot)
    : pc(std::move(scenario), &clock),
      platform{countingDrive,
               pc.console,
               clock,
               pc.system,
               pc.instances,
               pc.shell,
               WithMobileHotspot(pc.network.Ports(), mobileHotspot),
               pc.power,
               pc.site,
               pc.registry,
               pc.logonTasks} {
  dispatcher.SetEventSource([this] { timers.FireDue(); });
}

HeadlessProgram::~HeadlessProgram() = default;

void HeadlessProgram::PutRawFile(std::string_view windowsPath, std::string_view bytes) {
  WriteHostFile(drive.HostPath(windowsPath), bytes);
}

void HeadlessProgram::PutFile(std::string_view windowsPath, std::string_view utf8) {
  PutRawFile(windowsPath, text::Cp936FromUtf8(utf8));
}

std::string HeadlessProgram::RawFile(std::string_view windowsPath) {
  return drive.ReadWholeFile(windowsPath).value_or("");
}

bool HeadlessProgram::Start() {
  app::Application::ProgramHost host;
  host.loadWindow = [this](ui::WindowModel& window) {
    loadedWindows.push_back(&window);
    timers.Observe(window);
    if (onWindowLoaded) onWindowLoaded(window);
  };
  host.endProgram = [this](int code) { exitCode = code; };
  app_ = std::make_unique<app::Application>(platform, dispatcher, messages, std::move(host));
  if (app_->Start()) return true;
  exitCode = 0;
  return false;
}

void HeadlessProgram::Settle() {
  // An event run here may start a worker of its own: settle until neither is left.
  do {
    app_->Exec().JoinAllWorkers();
    while (dispatcher.PendingCount() > 0) dispatcher.ProcessPendingEvents();
  } while (app_->Exec().RunningWorkers() > 0);
}

void HeadlessProgram::EndProgram() { app_.reset(); }

void HeadlessProgram::RunFor(std::uint32_t ms) { dispatcher.WaitPumping(ms); }

platform::sim::EndState HeadlessProgram::EndState() {
  return platform::sim::ReadEndState(pc, app_->Exec().RunningWorkers());
}

bool HeadlessProgram::PumpUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    dispatcher.ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

StartedPc::StartedPc(std::string_view scenario, std::string_view settingsFile)
    : StartedPc(platform::sim::ParseScenario(scenario), settingsFile) {}

StartedPc::StartedPc(platform::sim::Scenario scenario, std::string_view settingsFile)
    : program(std::move(scenario)) {
  if (!settingsFile.empty()) program.PutFile(settings::kSettingsPath, settingsFile);
  EXPECT_TRUE(program.Start());
  program.Settle();
}

}  // namespace lumora::testing
