#pragma once
// How a failed call of the WLAN service's hosted network reaches the diagnostic log.

#include <string>
#include <string_view>

namespace lumora::platform::win32 {

// The name of a WLAN_HOSTED_NETWORK_REASON ("wlan_hosted_network_reason_gp_denied"), or
// "reason 40" for a number the program does not know.
std::string HostedNetworkReasonName(int reason);

// Reports a hosted-network call that failed: its error and the service's reason for it.
void ReportHostedNetworkError(std::string_view call, unsigned long error, int reason);

}  // namespace lumora::platform::win32
