// LumoraWiFiSim.exe: the same program on the simulated PC. The scenario file on drive C
// chooses the machine; the settings and list files stay on the real drive C.
#include <windows.h>

#include "LumoraWiFiSim/model_report.h"
#include "platform/sim/simulated_pc.h"
#include "platform/steady_clock.h"
#include "platform/win32/win32_files.h"
#include "shared/program.h"
#include "text/cp936.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace lumora;
  platform::win32::Win32Files files;
  const std::string scenarioText = text::Utf8FromCp936(
      files.ReadWholeFile(platform::sim::kScenarioPath).value_or(std::string{}));
  // The devices of the hotspot keep real time.
  platform::SteadyClock clock;
  platform::sim::SimulatedPc pc(platform::sim::ParseScenario(scenarioText), &clock);
  return apps::RunProgram(pc.console, pc.system, pc.network.Ports(), pc.power, pc.site, pc.shell,
                          [&pc](app::Application& application) {
                            apps::StartModelReport(application.Main(),
                                                   [&pc] { return pc.shell.OpenedUrls(); });
                          });
}
