// The simulated PC's scenario file, in code page 936 as LumoraWiFiSim.exe reads it, and
// the command lines its netsh is given: any scenario makes a machine, and any line on
// that machine is answered.

#include "fuzz_input.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/simulated_pc.h"
#include "text/cp936.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 2);
  platform::sim::ManualClock clock;
  platform::sim::SimulatedPc pc(platform::sim::ParseScenario(text::Utf8FromCp936(pieces[0])),
                                &clock);
  // One command a line, as the program runs them one by one.
  std::string_view commands = pieces[1];
  for (int run = 0; run < 16 && !commands.empty(); ++run) {
    const std::size_t cut = commands.find('\n');
    pc.console.Run(commands.substr(0, cut), [] { return true; });
    commands.remove_prefix(cut == std::string_view::npos ? commands.size() : cut + 1);
  }
  return 0;
}
