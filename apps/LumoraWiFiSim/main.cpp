// LumoraWiFiSim.exe: the same program on the simulated PC. The scenario file on drive C
// chooses the machine; the settings and list files stay on the real drive C. At its end
// the program leaves the end file there, how it left the machine.
#include <windows.h>

#include "LumoraWiFiSim/model_report.h"
#include "platform/failure_report.h"
#include "platform/sim/end_state.h"
#include "platform/sim/simulated_pc.h"
#include "platform/steady_clock.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_files.h"
#include "shared/program.h"
#include "text/cp936.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  lumora::platform::win32::KeepDllSearchInSystemFolder();
  using namespace lumora;
  platform::win32::Win32Files files;
  const std::string scenarioText = text::Utf8FromCp936(
      files.ReadWholeFile(platform::sim::kScenarioPath).value_or(std::string{}));
  // The devices of the hotspot keep real time.
  platform::SteadyClock clock;
  platform::sim::SimulatedPc pc(platform::sim::ParseScenario(scenarioText), &clock);
  // Written at the session's end and again when the program ends: the last one counts.
  const auto writeEndState = [&files, &pc](app::Application& application) {
    const std::string text = platform::sim::EndStateText(
        platform::sim::ReadEndState(pc, application.Exec().RunningWorkers()));
    if (!files.ReplaceWholeFile(platform::sim::kEndStatePath, text))
      platform::ReportFailure("LumoraWiFiSim", "the end file was not written");
  };
  return apps::RunProgram(
      pc.console, pc.system, pc.network.Ports(), pc.power, pc.site, pc.shell,
      [&pc, &writeEndState](app::Application& application) {
        apps::StartModelReport(
            application.Main(), [&pc] { return pc.shell.OpenedUrls(); },
            [&writeEndState, &application] { writeEndState(application); });
      },
      writeEndState);
}
