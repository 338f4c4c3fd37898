#pragma once
// The two services sharing needs: the sharing service starts on demand, the firewall
// starts automatically and runs.

#include <cstdint>
#include <string_view>

#include "platform/network_ports.h"
#include "ui/message_boxes.h"

namespace lumora::netconfig {

inline constexpr std::uint32_t kStartAutomatic = 2;
inline constexpr std::uint32_t kStartOnDemand = 3;
inline constexpr std::uint32_t kStateStopped = 1;

// Gives the service the start type and, when startIt, starts it if it is stopped; a
// start that fails is reported in a message box.
void PrepareService(platform::ServicePort& services, ui::MessageBoxes& messages,
                    std::string_view service, std::uint32_t startType, bool startIt);

// What the start-up does once: "SharedAccess" on demand, "MpsSvc" automatic and running.
void PrepareSharingServices(platform::ServicePort& services, ui::MessageBoxes& messages);

}  // namespace lumora::netconfig
