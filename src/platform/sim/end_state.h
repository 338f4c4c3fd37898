#pragma once
// How the program left the simulated PC: what every check after a session compares,
// the flow tests, the random user's and the black-box tests under Wine alike.
// LumoraWiFiSim.exe writes its text form to kEndStatePath when it ends.
//
// The end file is UTF-8 with LF line ends, one key=value a line, in this order:
//   sharing=NAME public | sharing=NAME private  a line for each side of sharing that is on
//   hosted.mode=allow|disallow                  the hosted network's mode
//   hosted.running=yes|no
//   mobile.on=yes|no                            the system's mobile hotspot
//   mobile.timeout=on|off|none                  its no-connections timeout (none: no such setting)
//   pinned=MAC                                  a line for each static neighbour entry
//                                               of the hosted network's interface
//   poweroff.requests=N
//   opened=ADDRESS                              a line for each address handed to the shell
//   workers.running=N                           the workers that had not left

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/simulated_pc.h"

namespace lumora::platform::sim {

inline constexpr std::string_view kEndStatePath = "c:\\LumoraWiFiSim-end.txt";

struct EndState {
  std::string publicConnection;   // empty when none
  std::string privateConnection;  // empty when none
  bool hostedAllowed = false;
  bool hostedRunning = false;
  bool mobileOn = false;
  std::string mobileTimeout;  // "on", "off" or "none"
  std::vector<std::string> pinned;
  std::size_t powerOffRequests = 0;
  std::vector<std::string> opened;
  int workersRunning = 0;
  bool operator==(const EndState&) const = default;
};

// Takes the state now. What the system would still complete on its own counts as done
// (it is completed first: a mobile hotspot start the program gave up turns the hotspot
// on), so call it once the program has ended. workersRunning is the caller's count of
// the program's workers that have not left (exec::ExecServices::RunningWorkers). A few
// locked reads: cheap enough for every session of a soak test.
EndState ReadEndState(SimulatedPc& pc, int workersRunning);

// The text of the end file.
std::string EndStateText(const EndState& state);

}  // namespace lumora::platform::sim
