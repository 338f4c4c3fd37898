#include "platform/sim/scenario.h"

#include <charconv>
#include <cstdio>

#include "text/ini_text.h"
#include "text/search.h"

namespace lumora::platform::sim {

namespace {

constexpr int kMostConnections = 32;
constexpr int kMostClients = 300;
constexpr int kMostNeighbours = 32;

template <typename Number>
bool ParseNumber(std::string_view text, Number& number) {
  Number parsed{};
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return false;
  number = parsed;
  return true;
}

// "6.1" as a version; false for anything else.
bool ParseVersion(std::string_view text, SystemVersion& version) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return false;
  SystemVersion parsed;
  if (!ParseNumber(text.substr(0, dot), parsed.major) ||
      !ParseNumber(text.substr(dot + 1), parsed.minor)) {
    return false;
  }
  version = parsed;
  return true;
}

// "1280x800" as a screen size.
bool ParseScreen(std::string_view text, ScreenSize& screen) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  ScreenSize parsed;
  if (!ParseNumber(text.substr(0, x), parsed.width) ||
      !ParseNumber(text.substr(x + 1), parsed.height) || parsed.width <= 0 || parsed.height <= 0) {
    return false;
  }
  screen.width = parsed.width;
  screen.height = parsed.height;
  return true;
}

// "150" or "150%" as the display scaling, into the screen's DPI; Windows offers 100 %
// to 500 %.
bool ParseScale(std::string_view text, ScreenSize& screen) {
  if (text.ends_with('%')) text.remove_suffix(1);
  int percent = 0;
  if (!ParseNumber(text, percent) || percent < 100 || percent > 500) return false;
  screen.dpi = 96 * percent / 100;
  return true;
}

bool ParseFlag(std::string_view text, bool& flag) {
  if (text == "yes" || text == "1" || text == "true") {
    flag = true;
  } else if (text == "no" || text == "0" || text == "false") {
    flag = false;
  } else {
    return false;
  }
  return true;
}

// "00-1A-2B-3C-4D-5E" as bytes.
bool ParseMac(std::string_view text, std::vector<std::uint8_t>& mac) {
  std::vector<std::uint8_t> parsed;
  for (std::size_t pos = 0; pos < text.size(); pos += 3) {
    unsigned value = 0;
    const auto result =
        std::from_chars(text.data() + pos, text.data() + std::min(pos + 2, text.size()), value, 16);
    if (result.ec != std::errc{} || result.ptr != text.data() + std::min(pos + 2, text.size()))
      return false;
    parsed.push_back(static_cast<std::uint8_t>(value));
    if (pos + 2 < text.size() && text[pos + 2] != '-') return false;
  }
  if (parsed.empty()) return false;
  mac = std::move(parsed);
  return true;
}

bool LaterSystem(const Scenario& scenario) {
  return !(scenario.reportedVersion == SystemVersion{6, 1});
}

std::string DescriptionFor(ConnectionKind kind, bool laterSystem) {
  switch (kind) {
    case ConnectionKind::Wired:
      return "Gigabit Ethernet Adapter";
    case ConnectionKind::Wireless:
      return "802.11n Wireless LAN Adapter";
    case ConnectionKind::DialUp:
      return "WAN Miniport (PPPOE)";
    case ConnectionKind::Hosted:
      return std::string(laterSystem ? kVirtualAdapterLater : kVirtualAdapterWin7);
  }
  return {};
}

// Fills what a connection of the scenario did not say: the n-th connection (from 1)
// gets its own GUID, interface index and address.
void CompleteConnection(SimConnection& c, int n, bool laterSystem) {
  if (c.guid.empty()) {
    char guid[64];
    std::snprintf(guid, sizeof guid, "{5A1C0D2E-7F3B-4C6A-9E10-%012X}", n);
    c.guid = guid;
  }
  if (c.interfaceIndex == 0) c.interfaceIndex = static_cast<std::uint32_t>(10 + n);
  if (c.description.empty()) c.description = DescriptionFor(c.kind, laterSystem);
  if (c.physicalAddress.empty())
    c.physicalAddress = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, static_cast<std::uint8_t>(n)};
}

SimConnection MakeConnection(std::string name, ConnectionKind kind, int status) {
  SimConnection c;
  c.name = std::move(name);
  c.kind = kind;
  c.status = status;
  c.interfaceType = kind == ConnectionKind::Wired ? 6 : kind == ConnectionKind::DialUp ? 23 : 71;
  return c;
}

void AddDefaultConnections(Scenario& scenario) {
  const bool later = LaterSystem(scenario);
  scenario.connections.push_back(
      MakeConnection(later ? "以太网" : "本地连接", ConnectionKind::Wired, 2));
  scenario.connections.push_back(
      MakeConnection(later ? "WLAN" : "无线网络连接", ConnectionKind::Wireless, 7));
  scenario.internetConnection = "LAN 连接";
  for (std::size_t i = 0; i < scenario.connections.size(); ++i)
    CompleteConnection(scenario.connections[i], static_cast<int>(i) + 1, later);
}

void ReadConnections(std::string_view ini, Scenario& scenario) {
  const bool later = LaterSystem(scenario);
  for (int n = 1; n <= kMostConnections; ++n) {
    const std::string section = "connection" + std::to_string(n);
    const auto name = text::FindIniValue(ini, section, "name");
    if (!name) continue;
    ConnectionKind kind = ConnectionKind::Wired;
    if (const auto value = text::FindIniValue(ini, section, "kind")) {
      if (*value == "wireless") kind = ConnectionKind::Wireless;
      if (*value == "dialup") kind = ConnectionKind::DialUp;
      if (*value == "hosted") kind = ConnectionKind::Hosted;
    }
    SimConnection c = MakeConnection(*name, kind, 2);
    auto get = [&](std::string_view key) { return text::FindIniValue(ini, section, key); };
    if (auto v = get("status")) ParseNumber(*v, c.status);
    if (auto v = get("guid")) c.guid = *v;
    if (auto v = get("description")) c.description = *v;
    if (auto v = get("index")) ParseNumber(*v, c.interfaceIndex);
    if (auto v = get("type")) ParseNumber(*v, c.interfaceType);
    if (auto v = get("mac")) ParseMac(*v, c.physicalAddress);
    if (auto v = get("mtu")) ParseNumber(*v, c.mtu);
    if (auto v = get("speed")) ParseNumber(*v, c.linkSpeed);
    if (auto v = get("received")) ParseNumber(*v, c.receivedBytes);
    if (auto v = get("sent")) ParseNumber(*v, c.sentBytes);
    if (auto v = get("name_in_registry")) ParseFlag(*v, c.nameInRegistry);
    CompleteConnection(c, n, later);
    scenario.connections.push_back(std::move(c));
  }
}

void ReadServices(std::string_view ini, Scenario& scenario) {
  for (const char* name : {"SharedAccess", "MpsSvc"}) {
    const std::string section = std::string("service.") + name;
    SimService& service = scenario.services[name];
    if (auto v = text::FindIniValue(ini, section, "start_type")) ParseNumber(*v, service.startType);
    if (auto v = text::FindIniValue(ini, section, "state")) ParseNumber(*v, service.state);
    if (auto v = text::FindIniValue(ini, section, "can_start")) ParseFlag(*v, service.canStart);
  }
}

void ReadHostedNetwork(std::string_view ini, Scenario& scenario) {
  SimHostedNetwork& hosted = scenario.hosted;
  auto get = [&](std::string_view key) { return text::FindIniValue(ini, "hosted", key); };
  if (auto v = get("mode")) {
    if (text::EqualsIgnoreAsciiCase(*v, "allow")) hosted.allowed = true;
    if (text::EqualsIgnoreAsciiCase(*v, "disallow")) hosted.allowed = false;
  }
  if (auto v = get("ssid")) hosted.ssid = *v;
  if (auto v = get("key")) hosted.passPhrase = *v;
  if (auto v = get("peer_limit")) ParseNumber(*v, hosted.peerLimit);
  if (auto v = get("connection_name")) hosted.connectionName = *v;

  // The faults of the hosted network may stand with the others or with it.
  auto fault = [&](std::string_view key) {
    auto v = text::FindIniValue(ini, "faults", key);
    return v ? v : get(key);
  };
  if (auto v = fault("radio")) {
    if (*v == "on") hosted.radioOn = true;
    if (*v == "off") hosted.radioOn = false;
  }
  if (auto v = fault("hosted_supported")) ParseFlag(*v, hosted.driverSupportsIt);
  if (auto v = fault("hosted_line_in_drivers")) ParseFlag(*v, hosted.listedByDrivers);
  if (auto v = fault("sharing_fails_starts"))
    if (ParseNumber(*v, hosted.sharingFailsStarts) && hosted.sharingFailsStarts < -1)
      hosted.sharingFailsStarts = 0;
  if (auto v = fault("hosted_appears_after"))
    if (ParseNumber(*v, hosted.appearsAfterCalls) && hosted.appearsAfterCalls < 0)
      hosted.appearsAfterCalls = 0;
}

void ReadMobileHotspot(std::string_view ini, Scenario& scenario) {
  SimMobileHotspot& mobile = scenario.mobileHotspot;
  auto get = [&](std::string_view key) {
    return text::FindIniValue(ini, "mobile_hotspot", key);
  };
  if (auto v = get("available")) ParseFlag(*v, mobile.available);
  if (auto v = get("capability")) ParseNumber(*v, mobile.capability);
  if (auto v = get("start_status")) ParseNumber(*v, mobile.startStatus);
  if (auto v = get("start_error")) mobile.startError = *v;
  if (auto v = get("start_ms")) ParseNumber(*v, mobile.startMs);
  if (auto v = get("start_honours_cancel")) ParseFlag(*v, mobile.startHonoursCancel);
  if (auto v = get("capability_after_failure")) ParseNumber(*v, mobile.capabilityAfterFailure);
  if (auto v = get("configure_fails")) ParseFlag(*v, mobile.configureFails);
  if (auto v = get("timeout_setting")) ParseFlag(*v, mobile.hasTimeoutSetting);
  if (auto v = get("switches_off_idle")) ParseFlag(*v, mobile.timeoutEnabled);
  if (auto v = get("idle_off_ms")) ParseNumber(*v, mobile.idleOffMs);
  if (auto v = get("client_list")) ParseFlag(*v, mobile.hasClientList);
  if (auto v = get("connection_name")) mobile.connectionName = *v;
  if (auto v = get("ssid")) mobile.ssid = *v;
  if (auto v = get("key")) mobile.passPhrase = *v;
}

// Whole seconds, or with a fraction: "2.5" is 2500 ms.
bool ParseSeconds(std::string_view text, std::uint64_t& ms) {
  const std::size_t dot = text.find('.');
  std::uint64_t whole = 0, fraction = 0;
  if (!ParseNumber(text.substr(0, dot), whole)) return false;
  if (dot != std::string_view::npos) {
    std::string_view digits = text.substr(dot + 1, 3);
    if (digits.empty() || !ParseNumber(digits, fraction)) return false;
    for (std::size_t i = digits.size(); i < 3; ++i) fraction *= 10;
  }
  ms = whole * 1000 + fraction;
  return true;
}

SimClient MakeClient(std::string mac, std::string ip, std::string hostName, std::uint64_t joinMs,
                     std::uint64_t download, std::uint64_t upload) {
  SimClient client;
  client.mac = std::move(mac);
  client.ip = std::move(ip);
  client.hostName = std::move(hostName);
  client.joinMs = joinMs;
  client.downloadPerSecond = download;
  client.uploadPerSecond = upload;
  return client;
}

void AddDefaultClients(Scenario& scenario) {
  scenario.clients.push_back(MakeClient("3C-A6-F6-12-5B-01", "192.168.137.23",
                                        "android-5a1b2c3d.mshome.net", 2000, 180000, 24000));
  scenario.clients.push_back(
      MakeClient("F0-99-B6-7C-0E-42", "192.168.137.45", "iPhone.mshome.net", 3000, 96000, 12000));
  SimClient laptop = MakeClient("00-21-CC-5E-9A-17", "192.168.137.88", "XIAOMING-PC.mshome.net",
                                4000, 420000, 65000);
  laptop.lookupMs = 1500;
  scenario.clients.push_back(std::move(laptop));
}

void ReadClients(std::string_view ini, Scenario& scenario) {
  for (int n = 1; n <= kMostClients; ++n) {
    const std::string section = "client" + std::to_string(n);
    auto get = [&](std::string_view key) { return text::FindIniValue(ini, section, key); };
    const auto mac = get("mac");
    const auto ip = get("ip");
    if (!mac || !ip) continue;
    SimClient client = MakeClient(*mac, *ip, get("host").value_or(""), 0, 0, 0);
    if (auto v = get("lookup")) {
      if (*v == "fails")
        client.lookupFails = true;
      else
        ParseNumber(*v, client.lookupMs);
    }
    if (auto v = get("join")) ParseSeconds(*v, client.joinMs);
    if (auto v = get("leave")) ParseSeconds(*v, client.leaveMs);
    if (auto v = get("down")) ParseNumber(*v, client.downloadPerSecond);
    if (auto v = get("up")) ParseNumber(*v, client.uploadPerSecond);
    scenario.clients.push_back(std::move(client));
  }
}

void ReadNeighbours(std::string_view ini, Scenario& scenario) {
  for (int n = 1; n <= kMostNeighbours; ++n) {
    const std::string section = "neighbour" + std::to_string(n);
    auto get = [&](std::string_view key) { return text::FindIniValue(ini, section, key); };
    const auto connection = get("connection");
    const auto ip = get("ip");
    if (!connection || !ip) continue;
    SimNeighbour neighbour{*connection, get("mac").value_or("00-00-00-00-00-00"), *ip, 3};
    if (auto v = get("type")) {
      static constexpr std::pair<std::string_view, std::uint32_t> kTypes[] = {
          {"other", 1}, {"invalid", 2}, {"dynamic", 3}, {"static", 4}};
      for (const auto& [name, type] : kTypes)
        if (*v == name) neighbour.type = type;
    }
    scenario.neighbours.push_back(std::move(neighbour));
  }
}

// A page text of the scenario: "\\n" stands for a line break (CR LF).
std::string PageText(std::string_view value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
      text += "\r\n";
      ++i;
    } else {
      text += value[i];
    }
  }
  return text;
}

void ReadSite(std::string_view ini, Scenario& scenario) {
  SimSite& site = scenario.site;
  // What a newcomer sees: the banner on, this very version (so no update is offered),
  // the official site and a help text.
  site.pages["/updata.txt"] = "[up1]1[up2]\r\n[version1]5.0[version2]\r\n[gwurl1]" +
                              std::string(SiteAddress()) +
                              "/[gwurl2]\r\n[content1]\r\n[content2]\r\n[downurl1][downurl2]\r\n";
  site.pages["/sygg.html"] = "<p>欢迎使用LumoraWiFi！手机连上WiFi即可上网。<a href=\"" +
                             std::string(SiteAddress()) + "/\">官方网站</a></p>";
  site.pages["/upwifi/bzxx.txt"] =
      "<p><b>使用帮助</b></p><p>1. 在[主界面]输入WiFi名称和密码，点击[开启WiFi]。</p>"
      "<p>2. 手机搜索这个WiFi名称，输入密码连接即可上网。</p>"
      "<p>3. 手机连不上时，请点击[重启WiFi]试试。</p>";
  site.pages["/upwifi/tongji.html"] = "<html><body></body></html>";
  auto get = [&](std::string_view key) { return text::FindIniValue(ini, "site", key); };
  if (auto v = get("reachable")) ParseFlag(*v, site.reachable);
  if (auto v = get("delay")) ParseNumber(*v, site.delayMs);
  static constexpr std::pair<std::string_view, std::string_view> kPages[] = {
      {"update", "/updata.txt"},
      {"announcement", "/sygg.html"},
      {"help", "/upwifi/bzxx.txt"},
      {"statistics", "/upwifi/tongji.html"}};
  for (const auto& [key, path] : kPages)
    if (auto v = get(key)) site.pages[std::string(path)] = PageText(*v);
}

}  // namespace

std::string_view SiteAddress() { return LUMORA_SITE_ADDRESS; }

Scenario DefaultScenario() { return ParseScenario(""); }

Scenario ParseScenario(std::string_view ini) {
  Scenario scenario;
  if (auto value = text::FindIniValue(ini, "system", "version")) {
    if (ParseVersion(*value, scenario.reportedVersion)) {
      // Unless said otherwise, the process runs in no compatibility mode.
      scenario.environmentBlockVersion = scenario.reportedVersion;
    }
  }
  if (auto value = text::FindIniValue(ini, "system", "environment_version"))
    ParseVersion(*value, scenario.environmentBlockVersion);
  if (auto value = text::FindIniValue(ini, "system", "screen"))
    ParseScreen(*value, scenario.screen);
  if (auto value = text::FindIniValue(ini, "system", "scale")) ParseScale(*value, scenario.screen);
  if (auto value = text::FindIniValue(ini, "system", "program_path"))
    if (!value->empty()) scenario.programPath = *value;
  if (auto value = text::FindIniValue(ini, "system", "language")) {
    for (std::string_view known : {"zh-CN", "en-US"})
      if (text::EqualsIgnoreAsciiCase(*value, known)) scenario.language = known;
  }

  scenario.services["SharedAccess"] = {4, 1, true};
  scenario.services["MpsSvc"] = {2, 4, true};
  ReadConnections(ini, scenario);
  ReadClients(ini, scenario);
  ReadNeighbours(ini, scenario);
  // The machine of no file, or of one that names neither connections nor devices.
  if (scenario.connections.empty() && scenario.clients.empty()) AddDefaultClients(scenario);
  if (scenario.connections.empty()) AddDefaultConnections(scenario);
  if (auto v = text::FindIniValue(ini, "network", "internet")) scenario.internetConnection = *v;
  if (auto v = text::FindIniValue(ini, "network", "wireless_interfaces"))
    ParseNumber(*v, scenario.wirelessInterfaces);
  if (auto v = text::FindIniValue(ini, "network", "administrator"))
    ParseFlag(*v, scenario.administrator);
  ReadServices(ini, scenario);
  ReadHostedNetwork(ini, scenario);
  ReadMobileHotspot(ini, scenario);
  auto fault = [&](std::string_view key, bool& flag) {
    if (auto v = text::FindIniValue(ini, "faults", key)) ParseFlag(*v, flag);
  };
  fault("sharing_object_missing", scenario.sharingObjectMissing);
  fault("sharing_walk_fails", scenario.sharingWalkFails);
  fault("wmi_fails", scenario.wmiFails);
  fault("wlan_service_missing", scenario.wlanServiceMissing);
  fault("shutdown_privilege_missing", scenario.shutdownPrivilegeMissing);
  fault("run_key_read_only", scenario.runKeyReadOnly);
  fault("logon_task_refused", scenario.logonTaskRefused);
  ReadSite(ini, scenario);
  if (auto v = text::FindIniValue(ini, "registry", "run_value"))
    if (!v->empty()) scenario.runValue = *v;
  if (auto v = text::FindIniValue(ini, "registry", "logon_task"))
    if (!v->empty()) scenario.logonTask = *v;
  return scenario;
}

}  // namespace lumora::platform::sim
