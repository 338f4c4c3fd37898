#pragma once
// The choice of the connection profile whose tethering manager the mobile hotspot uses.
// The system keeps a profile for each network an adapter ever joined, so one Wi-Fi
// adapter has many, most of them not connected; the manager of one of those does not
// share the connection the adapter has now.

#include <cstddef>
#include <optional>
#include <vector>

namespace lumora::platform::win32 {

// What the choice knows of one profile.
struct ProfileFacts {
  bool onAdapter = false;     // its adapter is the one asked for
  bool internet = false;      // it is the system's Internet connection profile
  int connectivityLevel = 0;  // its NetworkConnectivityLevel: 0 none, 1 local, 2, 3 Internet
};

// The index of the profile to use among those on the adapter: the Internet profile, else
// the first with any connectivity, else the first; nullopt when none is on the adapter.
std::optional<std::size_t> ChooseConnectionProfile(const std::vector<ProfileFacts>& profiles);

}  // namespace lumora::platform::win32
