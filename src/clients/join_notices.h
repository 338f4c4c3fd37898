#pragma once
// The tray icon's notices of who joins the hotspot and who is cut off: their titles and
// texts, one notice for all the devices of one scan.

#include <string>
#include <vector>

#include "ui/controls.h"

namespace lumora::clients {

struct NoticedDevice {
  std::string ip, mac, name;  // name: empty when the device has none
};

// "新设备连接" with the device's name and addresses; for several, "N台新设备连接" and a
// line for each. devices is not empty.
ui::TrayIcon::Notice JoinNotice(const std::vector<NoticedDevice>& devices);
// "已拦截" and a line for each device: its name, or its MAC when it has none. devices is
// not empty.
ui::TrayIcon::Notice BlockedNotice(const std::vector<NoticedDevice>& devices);

}  // namespace lumora::clients
