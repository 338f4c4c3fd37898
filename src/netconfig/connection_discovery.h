#pragma once
// The two connection names everything else works with: the Internet connection (the
// text of 组合框1, proposed at start-up, chosen or typed by the user, remembered on
// request) and the hosted network's connection (the text of 编辑框虚拟网卡, looked up
// at every start). Runs on workers and on the UI thread; the controls are changed on
// the UI thread.

#include <string>
#include <string_view>
#include <vector>

#include "netconfig/network_context.h"

namespace lumora::netconfig {

// Tried in this order against the connection list.
inline const std::vector<std::string_view> kStartupPresets = {
    "WLAN", "Wi-Fi", "无线网络连接", "ChinaNetSNWide", "宽带连接", "以太网"};
inline const std::vector<std::string_view> kPresetsAfterForgetting = {"Wi-Fi", "无线网络连接",
                                                                      "ChinaNetSNWide", "宽带连接"};

// The name the system reports for a local-area connection.
inline constexpr std::string_view kLanConnectionAnswer = "LAN 连接";

// Removes leading and trailing spaces, ASCII and full-width.
std::string_view TrimSpaces(std::string_view text);

// Adds the connections that are up to the list of 组合框1 and switches a disconnected
// wireless connection back on.
void ListConnections(NetworkContext& net);

// Proposes the Internet connection, or puts back the remembered one.
void ChooseStartupConnection(NetworkContext& net);

// Selects the first list item that begins with one of the names (in the order of the
// names, ignoring ASCII case); asks the system when none does.
void ChoosePresetConnection(NetworkContext& net, const std::vector<std::string_view>& names);

// Puts the system's answer to "which connection reaches the Internet" into 组合框1.
void DetectInternetConnection(NetworkContext& net);

// Look up the hosted network's connection into 编辑框虚拟网卡, by the marker in the
// adapter descriptions ("Microsoft" on Windows 7, "Microsoft 托管" later). Windows 7
// leaves the text alone when no adapter matches; later systems empty it.
void FindHostedConnectionWin7(NetworkContext& net);
void FindHostedConnectionLater(NetworkContext& net);
// The same for the system's mobile hotspot, whose adapter is a Wi-Fi Direct virtual one.
void FindMobileHotspotConnection(NetworkContext& net);

// 选择框2 was clicked (it has changed its state already).
void RememberConnectionClicked(NetworkContext& net);
// 组合框1 lost the focus.
void ConnectionFocusLost(NetworkContext& net);

}  // namespace lumora::netconfig
