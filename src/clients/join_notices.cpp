#include "clients/join_notices.h"

namespace lumora::clients {

namespace {

// A balloon shows a few lines only, and its text stops at 255 characters: the devices
// beyond these stand in one last line.
constexpr std::size_t kMostListed = 5;
constexpr std::string_view kMore = "……";
constexpr std::string_view kNoName = "未知设备";

// The lines of the devices, one each, up to kMostListed.
template <typename LineOf>
std::string Lines(const std::vector<NoticedDevice>& devices, LineOf lineOf) {
  std::string text;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (i > 0) text += '\n';
    if (i == kMostListed) return text + std::string(kMore);
    text += lineOf(devices[i]);
  }
  return text;
}

}  // namespace

ui::TrayIcon::Notice JoinNotice(const std::vector<NoticedDevice>& devices) {
  auto nameOf = [](const NoticedDevice& d) {
    return d.name.empty() ? std::string(kNoName) : d.name;
  };
  if (devices.size() == 1) {
    const NoticedDevice& d = devices.front();
    return {"新设备连接", nameOf(d) + "\nIP地址：" + d.ip + "\nMAC地址：" + d.mac};
  }
  return {std::to_string(devices.size()) + "台新设备连接",
          Lines(devices, [&](const NoticedDevice& d) { return nameOf(d) + "（" + d.ip + "）"; })};
}

ui::TrayIcon::Notice BlockedNotice(const std::vector<NoticedDevice>& devices) {
  return {"已拦截",
          Lines(devices, [](const NoticedDevice& d) { return d.name.empty() ? d.mac : d.name; })};
}

}  // namespace lumora::clients
