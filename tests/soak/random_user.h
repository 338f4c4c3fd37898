#pragma once
// A seeded random user against the whole program on the simulated PC: it clicks, types,
// opens menus, lets time pass, changes the machine under the program and leaves by any
// way out at any moment, through the same input functions the Win32 view calls. After
// the session it checks the invariants below and reports each one that broke.
//
// The invariants (docs/simulated-pc.md lists them too):
//  1. After the way out nothing shares, the hosted network is disallowed and not running,
//     the mobile hotspot is off with its idle timeout as it was found, and no worker is
//     left.
//  2. No power-off unless a countdown reached its last second while no way out, cancel
//     or new arming came before the check that follows its three-second grace.
//  3. While the hotspot runs, once a scan has settled: in blacklist mode no listed device
//     is blacklisted and every connected blacklisted device is pinned; in whitelist mode
//     every connected device off the whitelist is pinned and no whitelisted one is.
//  4. Every list file is whole lines in its format; the blacklist and the whitelist hold
//     what the user put there and did not take out; the last name the user committed for
//     a device is the one recorded; the settings file holds what the user last set.
//  5. No failure was reported, nothing crashed, and the session ended within its time.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::soak {

// The kinds of PC the program ships for.
enum class PcKind { Windows7, LaterHosted, LaterMobile };
inline constexpr PcKind kPcKinds[] = {PcKind::Windows7, PcKind::LaterHosted, PcKind::LaterMobile};
std::string_view PcKindName(PcKind kind);

struct SessionResult {
  std::vector<std::string> actions;  // what the user did, in order, with the clock's time
  std::vector<std::string> breaks;   // the invariants that broke, each with what was seen
};

// One session on a PC of that kind; the same seed plays the same session. Failure reports
// made meanwhile are the caller's to collect (see FailureSink).
SessionResult PlaySession(PcKind kind, std::uint64_t seed);

}  // namespace lumora::soak
