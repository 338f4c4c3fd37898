#pragma once
// Internet connection sharing: off everywhere (the reset, which also collects the wired
// connection names and disallows the hosted network), and on from the Internet
// connection to the hosted network's connection.

#include <functional>

#include "netconfig/network_context.h"

namespace lumora::netconfig {

// The command that takes the hosted network out of use.
inline constexpr std::string_view kDisallowHostedNetwork =
    "netsh wlan set hostednetwork mode=disallow";

// Switches sharing off on every connection, updates LanCandidates (the text of
// 编辑框去除多个本地), stops the hosted network on later systems (stopHostedNetwork,
// when given) and disallows it.
void ResetSharing(NetworkContext& net, const std::function<void()>& stopHostedNetwork = {});

// Makes the hosted connection (编辑框虚拟网卡, as it stands) the private side and the
// Internet connection (组合框1, trimmed) the public side, in the order the
// connections come in.
void SwitchOnSharing(NetworkContext& net);

}  // namespace lumora::netconfig
