#include "netconfig/connection_discovery.h"

#include "exec/worker_context.h"
#include "netconfig/adapter_toolkit.h"
#include "text/ipv4.h"
#include "text/search.h"

namespace lumora::netconfig {

namespace {

constexpr std::string_view kFullWidthSpace = "　";
constexpr std::string_view kConnectionNameKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr int kDetectRetries = 2;
constexpr std::uint32_t kDetectPauseMs = 300;

struct Correction {
  std::string_view typed, meant;
};
constexpr Correction kTypedNameCorrections[] = {
    {"无线网络连接2", "无线网络连接 2"},
    {"无线网络连接3", "无线网络连接 3"},
    {"宽带连接2", "宽带连接 2"},
};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         text::EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The walk over the adapters that the hosted lookups make: for each IPv4 adapter, its
// connection name from the registry followed by its description, and the adapter.
// False when the adapters cannot be listed.
bool WalkAdapterLines(
    NetworkContext& net,
    const std::function<void(const std::string&, const platform::AdapterInfo&)>& visit) {
  const auto adapters = exec::PlatformCall([&] { return net.ports.ipHelper.AdaptersInfo(); });
  if (!adapters) return false;
  for (const platform::AdapterInfo& adapter : *adapters) {
    const std::string key = std::string(kConnectionNameKey) + adapter.adapterName + "\\Connection";
    const std::string name = exec::PlatformCall(
        [&] { return net.ports.registry.ReadMachineString(key, "Name").value_or(""); });
    visit(name + adapter.description, adapter);
  }
  return true;
}

// The line up to the first occurrence of marker, found ignoring ASCII case; nullopt
// when it does not occur.
std::optional<std::string> CutBefore(const std::string& line, std::string_view marker) {
  const std::size_t at = text::FindIgnoreAsciiCase(line, marker);
  if (at == std::string::npos) return std::nullopt;
  return line.substr(0, at);
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
  for (;;) {
    if (text.starts_with(' ')) {
      text.remove_prefix(1);
    } else if (text.starts_with(kFullWidthSpace)) {
      text.remove_prefix(kFullWidthSpace.size());
    } else if (text.ends_with(' ')) {
      text.remove_suffix(1);
    } else if (text.ends_with(kFullWidthSpace)) {
      text.remove_suffix(kFullWidthSpace.size());
    } else {
      return text;
    }
  }
}

void ListConnections(NetworkContext& net) {
  std::vector<std::string> up;
  exec::PlatformCall([&] {
    net.ports.sharing.WalkEveryConnection([&](platform::SharedConnection& connection) {
      // Disconnected (0) and media disconnected (7) connections cannot share anything.
      const int status = connection.Status();
      if (status != 0 && status != 7) up.push_back(connection.Name());
      return !exec::CurrentWorkerEnded();
    });
  });
  net.exec.RunOnUi([&] {
    for (const std::string& name : up) net.window.组合框1.AddItem(name);
  });

  // A wireless adapter that is switched off cannot host the network: switch it on.
  if (exec::PlatformCall([&] { return net.toolkit.CountWirelessInterfaces(); }) == -1) return;
  const std::vector<std::string_view> wireless =
      net.Windows7() ? std::vector<std::string_view>{"无线网络连接"}
                     : std::vector<std::string_view>{"WLAN", "Wi-Fi"};
  for (const std::string_view name : wireless) {
    if (exec::PlatformCall([&] { return net.toolkit.ConnectionStatusByName(name); }) == 0)
      exec::PlatformCall([&] { net.toolkit.EnableConnectionByName(name); });
  }
}

void ChooseStartupConnection(NetworkContext& net) {
  ChoosePresetConnection(net, kStartupPresets);
  const bool remember = net.settings.Read(settings::kRememberConnection) == settings::kRemember;
  const std::string remembered =
      remember ? net.settings.Read(settings::kRememberedConnection) : std::string{};
  net.exec.RunOnUi([&] {
    net.window.选择框2.SetChecked(remember);
    if (remember) net.window.组合框1.SetText(remembered);
  });
}

void ChoosePresetConnection(NetworkContext& net, const std::vector<std::string_view>& names) {
  const bool selected = net.exec.ReadOnUi<bool>([&] {
    ui::ComboBox& box = net.window.组合框1;
    for (const std::string_view name : names) {
      const auto& items = box.Items();
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (StartsWithIgnoringCase(items[i], name)) {
          box.Select(static_cast<int>(i));
          return true;
        }
      }
    }
    return false;
  });
  if (selected) return;
  DetectInternetConnection(net);
  auto empty = [&] {
    return net.exec.ReadOnUi<bool>([&] { return net.window.组合框1.Text().empty(); });
  };
  for (int retry = 0; retry < kDetectRetries && empty(); ++retry) {
    DetectInternetConnection(net);
    net.exec.WaitPumping(kDetectPauseMs);
  }
}

void DetectInternetConnection(NetworkContext& net) {
  const std::string name(
      TrimSpaces(exec::PlatformCall([&] { return net.ports.internetState.ConnectedStateName(); })));
  net.exec.RunOnUi([&] {
    ui::MainWindow& w = net.window;
    // The system names a local-area connection only generically; the wired names the
    // sharing reset collected stand in for it.
    w.组合框1.SetText(name == kLanConnectionAnswer ? w.编辑框去除多个本地.Text() : name);
  });
}

void FindHostedConnectionWin7(NetworkContext& net) {
  std::optional<std::string> hosted;
  WalkAdapterLines(net, [&](const std::string& line, const platform::AdapterInfo&) {
    if (line.find("Microsoft") == std::string::npos) return;
    hosted = CutBefore(line, "Microsoft");  // the last matching adapter wins
  });
  if (hosted) net.exec.RunOnUi([&] { net.window.编辑框虚拟网卡.SetText(*hosted); });
}

void FindHostedConnectionLater(NetworkContext& net) {
  // Keeps the connection of the last hosted adapter, as on Windows 7; names of two
  // adapters run together would name no connection at all.
  std::string hosted;
  WalkAdapterLines(net, [&](const std::string& line, const platform::AdapterInfo&) {
    if (line.find("Microsoft") == std::string::npos) return;
    if (auto cut = CutBefore(line, "Microsoft 托管")) hosted = *cut;
  });
  net.exec.RunOnUi([&] { net.window.编辑框虚拟网卡.SetText(hosted); });
}

void FindMobileHotspotConnection(NetworkContext& net) {
  // Later systems keep more than one Wi-Fi Direct adapter; the hotspot's is the one that
  // is up, which has an address (sharing gives it its private one).
  std::string hosted;
  bool hostedHasAddress = false;
  WalkAdapterLines(net, [&](const std::string& line, const platform::AdapterInfo& adapter) {
    const std::optional<std::string> cut =
        CutBefore(line, "Microsoft Wi-Fi Direct Virtual Adapter");
    if (!cut) return;
    const bool hasAddress = text::ParseIpv4(adapter.ipAddress).value_or(0) != 0;
    if (hostedHasAddress && !hasAddress) return;
    hosted = *cut;
    hostedHasAddress = hasAddress;
  });
  net.exec.RunOnUi([&] { net.window.编辑框虚拟网卡.SetText(hosted); });
}

void RememberConnectionClicked(NetworkContext& net) {
  if (net.window.选择框2.Checked()) {
    net.settings.Write(settings::kRememberConnection, settings::kRemember);
    net.settings.Write(settings::kRememberedConnection, net.window.组合框1.Text());
  } else {
    net.settings.Write(settings::kRememberConnection, settings::kDoNotRemember);
    ChoosePresetConnection(net, kPresetsAfterForgetting);
  }
}

void ConnectionFocusLost(NetworkContext& net) {
  ui::ComboBox& box = net.window.组合框1;
  for (const Correction& correction : kTypedNameCorrections)
    if (box.Text() == correction.typed) box.SetText(correction.meant);
  net.settings.Write(settings::kRememberedConnection, box.Text());
}

}  // namespace lumora::netconfig
