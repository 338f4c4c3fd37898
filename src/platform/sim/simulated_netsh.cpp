#include "platform/sim/simulated_netsh.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "text/command_line.h"
#include "text/ipv4.h"
#include "text/search.h"

namespace lumora::platform::sim {

namespace {

// Texts netsh prints for which the build holds no capture: system messages Windows
// words the same way wherever they appear, and netsh's own short lines.
constexpr std::string_view kBadNameZh = "文件名、目录名或卷标语法不正确。\n\n";
constexpr std::string_view kServiceStoppedZh = "无线自动配置服务(wlansvc)没有运行。\n\n";
constexpr std::string_view kServiceStoppedEn =
    "The Wireless AutoConfig Service (wlansvc) is not running.\n\n";
// The system's message for ERROR_NOT_FOUND: an interface that is not there.
constexpr std::string_view kElementNotFoundZh = "找不到元素。\n\n";
constexpr std::string_view kElementNotFoundEn = "Element not found.\n\n";
constexpr std::string_view kNeighborsUsage =
    "set neighbors [interface=]<string> [address=]<IP address> [neighbor=]<MAC address> "
    "[[store=]active|persistent]";
constexpr std::string_view kHostedUsage =
    "set hostednetwork [[mode=]allow|disallow] [[ssid=]<ssid>] [[key=]<passphrase>] "
    "[[keyUsage=]persistent|temporary]";
constexpr std::string_view kAddressUsage =
    "set address [name=]<string> [[source=]dhcp|static] [[address=]<IPv4 address>[/<integer>] "
    "[[mask=]<IPv4 mask>] [[gateway=]<IPv4 address>|none [gwmetric=]<integer>]]";

constexpr std::string_view kLoopbackName = "Loopback Pseudo-Interface 1";
constexpr std::uint32_t kLoopbackMetric = 50;

std::string Usage(bool english, std::string_view line) {
  return (english ? "Usage: " : "用法: ") + std::string(line) + "\n\n";
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string LineOf(std::string_view text, std::size_t n) {
  const std::vector<std::string> lines = Lines(text);
  return n < lines.size() ? lines[n] : std::string{};
}

std::string_view Indented(std::string_view line) {
  const std::size_t start = line.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view{} : line.substr(start);
}

// Where the value of a "label: value" line begins: past the colon and the blanks that
// line the values up.
std::size_t ValueStart(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return line.size();
  const std::size_t value = line.find_first_not_of(' ', colon + 1);
  return value == std::string_view::npos ? line.size() : value;
}

// The first indented line whose label begins with `label`.
std::optional<std::size_t> FindLabelled(const std::vector<std::string>& lines,
                                        std::string_view label) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].starts_with(' ') && Indented(lines[i]).starts_with(label)) return i;
  return std::nullopt;
}

// A captured line up to where its value begins: the label with the capture's spacing.
std::string LabelOf(const std::vector<std::string>& lines, std::string_view label) {
  const std::optional<std::size_t> i = FindLabelled(lines, label);
  return i ? lines[*i].substr(0, ValueStart(lines[*i])) : std::string(label) + ": ";
}

void SetValue(std::vector<std::string>& lines, std::string_view label, std::string_view value) {
  if (const std::optional<std::size_t> i = FindLabelled(lines, label))
    lines[*i] = lines[*i].substr(0, ValueStart(lines[*i])) + std::string(value);
}

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
  std::uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    unsigned value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr == text.data() || value > 255) return std::nullopt;
    address = address << 8 | value;
    text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
    if (part < 3) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

std::string FormatIpv4(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) + "." +
         std::to_string(address >> 8 & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool IsMask(std::uint32_t mask) { return (~mask & (~mask + 1)) == 0; }

std::string WithCrLf(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// The labels of `interface ipv4 show addresses`, with the spacing of the capture.
struct AddressLabels {
  std::string headerBefore, headerAfter;  // around the interface's name
  std::string dhcp, address, subnet, maskWord, metric;
};

AddressLabels ReadAddressLabels(std::string_view capture, bool english) {
  const std::vector<std::string> lines = Lines(capture);
  AddressLabels labels;
  for (const std::string& line : lines) {
    const std::size_t open = line.find('"');
    if (line.starts_with(' ') || open == std::string::npos) continue;
    labels.headerBefore = line.substr(0, open + 1);
    labels.headerAfter = line.substr(line.rfind('"'));
    break;
  }
  labels.dhcp = LabelOf(lines, "DHCP");
  labels.address = LabelOf(lines, english ? "IP Address" : "IP 地址");
  labels.subnet = LabelOf(lines, english ? "Subnet Prefix" : "子网前缀");
  labels.metric = LabelOf(lines, "InterfaceMetric");
  // "10.10.16.0/20 (掩码 255.255.240.0)": the words between the prefix and the mask.
  if (const std::optional<std::size_t> i = FindLabelled(lines, english ? "Subnet" : "子网")) {
    const std::string value = lines[*i].substr(ValueStart(lines[*i]));
    const std::size_t open = value.find(" (");
    const std::size_t last = value.rfind(' ');
    if (open != std::string::npos && last > open)
      labels.maskWord = value.substr(open + 1, last - open);
  }
  return labels;
}

std::string AddressBlock(const AddressLabels& labels, bool english,
                         const SimulatedNetwork::Ipv4Interface& i) {
  std::string block = labels.headerBefore + i.name + labels.headerAfter + "\n";
  block += labels.dhcp + (i.dhcp ? (english ? "Yes" : "是") : (english ? "No" : "否")) + "\n";
  if (const std::optional<std::uint32_t> address = ParseIpv4(i.address)) {
    block += labels.address + i.address + "\n";
    const std::optional<std::uint32_t> mask = ParseIpv4(i.mask);
    if (mask && IsMask(*mask)) {
      block += labels.subnet + FormatIpv4(*address & *mask) + "/" +
               std::to_string(std::popcount(*mask)) + " " + labels.maskWord + i.mask + ")\n";
    }
  }
  block += labels.metric + std::to_string(i.metric) + "\n\n";
  return block;
}

}  // namespace

struct SimulatedNetsh::Parameters {
  std::map<std::string, std::string> values;  // by tag, in lower case
  std::optional<std::string> Get(const std::string& tag) const {
    const auto found = values.find(tag);
    return found == values.end() ? std::nullopt : std::optional(found->second);
  }
};

namespace {

// The tagged words from `first` on; nullopt when a tag is not one of `tags`. Bare words
// (what is left of a name with blanks that was not quoted) are ignored.
template <typename Parameters>
std::optional<Parameters> ReadParameters(const std::vector<std::string>& words, std::size_t first,
                                         std::initializer_list<std::string_view> tags) {
  Parameters parameters;
  for (std::size_t i = first; i < words.size(); ++i) {
    const std::size_t equals = words[i].find('=');
    if (equals == std::string::npos) continue;
    std::string tag = Lower(std::string_view(words[i]).substr(0, equals));
    if (tag == "addr") tag = "address";
    if (std::find(tags.begin(), tags.end(), tag) == tags.end()) return std::nullopt;
    parameters.values[tag] = words[i].substr(equals + 1);
  }
  return parameters;
}

}  // namespace

SimulatedNetsh::SimulatedNetsh(SimulatedNetwork& network, std::string language)
    : network_(network), language_(std::move(language)) {}

std::string SimulatedNetsh::Run(std::string_view arguments) { return WithCrLf(Answer(arguments)); }

std::string SimulatedNetsh::Text(std::string_view name) const {
  return std::string(NetshText(language_ + "/" + std::string(name) + ".txt"));
}

std::string SimulatedNetsh::CommandNotFound(std::string_view arguments) const {
  return English() ? "The following command was not found: " + std::string(arguments) + ".\n\n"
                   : "找不到下列命令: " + std::string(arguments) + "。\n\n";
}

std::string SimulatedNetsh::Answer(std::string_view arguments) {
  // netsh reads the arguments the C runtime split from its command line.
  const std::vector<std::string> words = text::SplitArguments(arguments);
  auto word = [&](std::size_t i) { return i < words.size() ? Lower(words[i]) : std::string{}; };
  if (word(0) == "wlan" && word(2) == "hostednetwork") {
    if (word(1) == "set") {
      const auto parameters =
          ReadParameters<Parameters>(words, 3, {"mode", "ssid", "key", "keyusage"});
      return parameters ? SetHostedNetwork(*parameters) : Usage(English(), kHostedUsage);
    }
    if (words.size() == 3 && word(1) == "start") return StartHostedNetwork();
    if (words.size() == 3 && word(1) == "stop") return StopHostedNetwork();
    if (words.size() == 3 && word(1) == "show") return ShowHostedNetwork();
  }
  if (words.size() == 3 && word(0) == "wlan" && word(1) == "show" && word(2) == "drivers")
    return ShowDrivers();
  if (word(0) == "interface" && (word(1) == "ipv4" || word(1) == "ip")) {
    const bool addresses = word(3) == "address" || word(3) == "addresses";
    if (words.size() == 4 && word(2) == "show" && addresses) return ShowAddresses();
    if (word(2) == "set" && (word(3) == "neighbors" || word(3) == "neighbor"))
      return SetNeighbors(words);
    if (word(2) == "set" && addresses) {
      const auto parameters = ReadParameters<Parameters>(
          words, 4, {"name", "source", "address", "mask", "gateway", "gwmetric"});
      const std::string answer = parameters ? SetAddress(*parameters) : std::string{};
      return answer.empty() ? Usage(English(), kAddressUsage) : answer;
    }
  }
  return CommandNotFound(arguments);
}

std::string SimulatedNetsh::SetHostedNetwork(const Parameters& parameters) {
  std::optional<bool> allow;
  if (const auto mode = parameters.Get("mode")) {
    if (text::EqualsIgnoreAsciiCase(*mode, "allow")) allow = true;
    if (text::EqualsIgnoreAsciiCase(*mode, "disallow")) allow = false;
    if (!allow) return Usage(English(), kHostedUsage);
  }
  const std::optional<std::string> ssid = parameters.Get("ssid");
  const std::optional<std::string> key = parameters.Get("key");
  if (!allow && !ssid && !key) return Usage(English(), kHostedUsage);
  if (!network_.Administrator()) return Text("wlan-any.not-admin");
  if (!network_.WlanServiceRunning())
    return std::string(English() ? kServiceStoppedEn : kServiceStoppedZh);

  if (allow) network_.SetHostedNetworkMode(*allow);
  network_.ConfigureHostedNetwork(ssid, key);
  // One line for each setting changed, in the order netsh changes them.
  const std::string allowed = Text("wlan-set-hostednetwork-allow.ok");
  std::string answer;
  if (allow)
    answer += LineOf(*allow ? allowed : Text("wlan-set-hostednetwork-disallow.ok"), 0) + "\n";
  if (ssid) answer += LineOf(allowed, 1) + "\n";
  if (key) answer += LineOf(allowed, 2) + "\n";
  return answer + "\n";
}

std::string SimulatedNetsh::ShowDrivers() {
  if (!network_.WlanServiceRunning())
    return std::string(English() ? kServiceStoppedEn : kServiceStoppedZh);
  if (network_.WirelessInterfaces() == 0)
    return English() ? "There is no wireless interface on the system.\n\n"
                     : "系统上没有无线接口。\n\n";
  // The captured driver says no; a driver with the hosted network says yes.
  std::string answer = Text("wlan-show-drivers.excerpt");
  if (network_.HostedNetworkSupported()) {
    const std::string_view no = English() ? ": No" : ": 否";
    if (const std::size_t at = answer.rfind(no); at != std::string::npos)
      answer.replace(at, no.size(), English() ? ": Yes" : ": 是");
  }
  // The hosted network's line is the captured excerpt's last.
  if (!network_.HostedNetworkListedByDrivers())
    answer.erase(answer.rfind('\n', answer.find_last_not_of("\r\n")) + 1);
  return answer + "\n";
}

std::string SimulatedNetsh::StartHostedNetwork() {
  if (!network_.Administrator()) return Text("wlan-any.not-admin");
  if (!network_.WlanServiceRunning())
    return std::string(English() ? kServiceStoppedEn : kServiceStoppedZh);
  switch (network_.StartHostedNetwork()) {
    case SimulatedNetwork::HostedStart::Started:
      return Text("wlan-start-hostednetwork.ok");
    case SimulatedNetwork::HostedStart::RadioOff:
      return Text(English() ? "wlan-start-hostednetwork.radio-off"
                            : "wlan-start-hostednetwork.radio-off-win7");
    case SimulatedNetwork::HostedStart::BadState:
      break;
  }
  return Text("wlan-start-hostednetwork.bad-state");
}

std::string SimulatedNetsh::StopHostedNetwork() {
  if (!network_.Administrator()) return Text("wlan-any.not-admin");
  if (!network_.WlanServiceRunning())
    return std::string(English() ? kServiceStoppedEn : kServiceStoppedZh);
  network_.StopHostedNetwork();
  return Text("wlan-stop-hostednetwork.ok");
}

std::string SimulatedNetsh::ShowHostedNetwork() {
  if (!network_.WlanServiceRunning())
    return std::string(English() ? kServiceStoppedEn : kServiceStoppedZh);
  const SimulatedNetwork::HostedNetworkView hosted = network_.HostedNetwork();
  std::vector<std::string> lines = Lines(Text("wlan-show-hostednetwork"));
  const std::string peers = std::to_string(hosted.peerLimit);
  if (English()) {
    SetValue(lines, "Mode", hosted.allowed ? "Allowed" : "Disallowed");
    SetValue(lines, "SSID name", "\"" + hosted.ssid + "\"");
    SetValue(lines, "Max number of clients", peers);
    SetValue(lines, "Status",
             hosted.state == 2   ? "Started"
             : hosted.state == 1 ? "Not started"
                                 : "Not available");
    const std::optional<std::size_t> status = FindLabelled(lines, "Status");
    if (hosted.state == 2 && status) {
      // A running network also shows its radio: the capture's lines after its status,
      // with no clients yet.
      std::vector<std::string> started = Lines(Text("wlan-show-hostednetwork.started"));
      SetValue(started, "Number of clients", "0");
      const std::optional<std::size_t> from = FindLabelled(started, "Status");
      std::vector<std::string> radio;
      for (std::size_t i = from ? *from + 1 : started.size(); i < started.size(); ++i)
        if (!started[i].empty() && !started[i].starts_with("        ")) radio.push_back(started[i]);
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*status) + 1, radio.begin(),
                   radio.end());
    }
  } else {
    SetValue(lines, "模式", hosted.allowed ? "已启用" : "已禁用");
    SetValue(lines, "SSID 名称", "“" + hosted.ssid + "”");
    SetValue(lines, "最多客户端数", peers);
    SetValue(lines, "状态", hosted.state == 2 ? "已启动" : hosted.state == 1 ? "未启动" : "不可用");
  }
  return Joined(lines);
}

std::string SimulatedNetsh::ShowAddresses() {
  const AddressLabels labels = ReadAddressLabels(Text("interface-ipv4-show-addresses"), English());
  std::string answer = "\n";
  for (const SimulatedNetwork::Ipv4Interface& i : network_.Ipv4Interfaces())
    answer += AddressBlock(labels, English(), i);
  return answer + AddressBlock(labels, English(),
                               {std::string(kLoopbackName), false, "127.0.0.1", "255.0.0.0",
                                kLoopbackMetric});
}

// Empty for a command line netsh would not take.
std::string SimulatedNetsh::SetAddress(const Parameters& parameters) {
  const std::optional<std::string> name = parameters.Get("name");
  const std::optional<std::string> source = parameters.Get("source");
  if (!name) return {};
  std::string address, mask;
  if (!source || !text::EqualsIgnoreAsciiCase(*source, "dhcp")) {
    if (source && !text::EqualsIgnoreAsciiCase(*source, "static")) return {};
    const std::optional<std::string> given = parameters.Get("address");
    if (!given) return {};
    // address=192.168.137.1/24 carries its own mask.
    const std::size_t slash = given->find('/');
    address = given->substr(0, slash);
    if (slash != std::string::npos) {
      unsigned bits = 0;
      const std::string_view length = std::string_view(*given).substr(slash + 1);
      const auto result = std::from_chars(length.data(), length.data() + length.size(), bits);
      if (result.ec != std::errc{} || result.ptr != length.data() + length.size() || bits > 32)
        return {};
      mask = FormatIpv4(bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits));
    } else {
      mask = parameters.Get("mask").value_or("");
    }
    const std::optional<std::uint32_t> maskValue = ParseIpv4(mask);
    if (!ParseIpv4(address) || !maskValue || !IsMask(*maskValue)) return {};
  }
  if (!network_.Administrator()) return Text("interface-any.not-admin");
  if (!network_.SetInterfaceAddress(*name, address, mask)) {
    const std::string badName = Text("interface-ip-set-address.bad-name");
    return badName.empty() && !English() ? std::string(kBadNameZh) : badName;
  }
  return Text("interface-ip-set-address.ok");
}

std::string SimulatedNetsh::SetNeighbors(const std::vector<std::string>& words) {
  if (words.size() < 7 || words.size() > 8) return Usage(English(), kNeighborsUsage);
  if (words.size() == 8) {
    const std::string store = Lower(words[7]);
    if (store != "store=active" && store != "store=persistent")
      return Usage(English(), kNeighborsUsage);
  }
  const std::optional<std::uint32_t> address = text::ParseIpv4(words[5]);
  const std::optional<std::array<std::uint8_t, 6>> mac = ParseMacText(words[6]);
  if (!address || !mac) return Usage(English(), kNeighborsUsage);
  if (!network_.Administrator()) return Text("interface-any.not-admin");
  // The interface by its index, or by its name.
  std::uint32_t index = 0;
  const std::string& interface = words[4];
  const auto [end, error] =
      std::from_chars(interface.data(), interface.data() + interface.size(), index);
  if (error != std::errc{} || end != interface.data() + interface.size()) {
    const std::optional<SimConnection> connection = network_.Connection(interface);
    index = connection ? connection->interfaceIndex : 0;
  }
  if (index == 0 || !network_.SetStaticNeighbour(index, *address, *mac))
    return std::string(English() ? kElementNotFoundEn : kElementNotFoundZh);
  return {};
}

}  // namespace lumora::platform::sim
