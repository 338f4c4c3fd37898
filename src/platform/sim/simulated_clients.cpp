#include "platform/sim/simulated_clients.h"

#include <algorithm>
#include <charconv>

#include "text/ipv4.h"

namespace lumora::platform::sim {

namespace {

constexpr std::array<std::uint8_t, 6> kBroadcastMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 6> kMulticastMac{0x01, 0x00, 0x5E, 0x00, 0x00, 0x16};
constexpr std::uint32_t kDynamic = 3, kStatic = 4;

// The address with its first octet highest, for sorting as Windows does.
std::uint32_t HostOrder(std::uint32_t address) {
  return ((address & 0xFF) << 24) | ((address & 0xFF00) << 8) | ((address >> 8) & 0xFF00) |
         (address >> 24);
}

NeighbourRow MakeRow(std::uint32_t index, std::uint32_t address,
                     const std::array<std::uint8_t, 6>& mac, std::uint32_t type) {
  NeighbourRow row;
  row.interfaceIndex = index;
  row.physicalAddressLength = 6;
  std::copy(mac.begin(), mac.end(), row.physicalAddress.begin());
  row.address = address;
  row.type = type;
  return row;
}

}  // namespace

std::optional<std::array<std::uint8_t, 6>> ParseMacText(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  std::array<std::uint8_t, 6> mac{};
  for (std::size_t i = 0; i < 6; ++i) {
    if (i > 0 && text[i * 3 - 1] != '-') return std::nullopt;
    unsigned value = 0;
    const char* first = text.data() + i * 3;
    const auto [end, error] = std::from_chars(first, first + 2, value, 16);
    if (error != std::errc{} || end != first + 2) return std::nullopt;
    mac[i] = static_cast<std::uint8_t>(value);
  }
  return mac;
}

SimulatedClients::SimulatedClients(const Scenario& scenario, Clock& clock)
    : clock_(clock), clients_(scenario.clients), neighbours_(scenario.neighbours) {}

void SimulatedClients::HostedStarted(std::uint32_t interfaceIndex) {
  if (hostedSince_) return;
  hostedIndex_ = interfaceIndex;
  hostedSince_ = clock_.NowMs();
  accountedUntil_ = *hostedSince_;
  sent_ = received_ = sentRemainder_ = receivedRemainder_ = 0;
}

void SimulatedClients::HostedStopped() {
  Account();
  hostedSince_.reset();
  hostedIndex_ = 0;
}

bool SimulatedClients::Connected(const SimClient& client, std::uint64_t now) const {
  if (!hostedSince_ || now < *hostedSince_ + client.joinMs) return false;
  return client.leaveMs == 0 || now < *hostedSince_ + client.leaveMs;
}

bool SimulatedClients::Pinned(const SimClient& client) const {
  const std::optional<std::uint32_t> address = text::ParseIpv4(client.ip);
  return address && statics_.contains({hostedIndex_, *address});
}

void SimulatedClients::Account() {
  const std::uint64_t now = clock_.NowMs();
  if (!hostedSince_ || now <= accountedUntil_) {
    accountedUntil_ = std::max(accountedUntil_, now);
    return;
  }
  std::uint64_t sent = sentRemainder_, received = receivedRemainder_;
  for (const SimClient& client : clients_) {
    if (Pinned(client)) continue;
    const std::uint64_t joined = *hostedSince_ + client.joinMs;
    const std::uint64_t left = client.leaveMs == 0 ? now : *hostedSince_ + client.leaveMs;
    const std::uint64_t from = std::max(accountedUntil_, joined), to = std::min(now, left);
    if (to <= from) continue;
    sent += client.downloadPerSecond * (to - from);
    received += client.uploadPerSecond * (to - from);
  }
  sent_ += sent / 1000;
  received_ += received / 1000;
  sentRemainder_ = sent % 1000;
  receivedRemainder_ = received % 1000;
  accountedUntil_ = now;
}

std::vector<NeighbourRow> SimulatedClients::Rows(
    const std::function<std::uint32_t(std::string_view)>& indexOf,
    const std::function<bool(std::uint32_t)>& interfaceExists) {
  Account();
  const std::uint32_t hostedIndex = hostedIndex_;
  const std::uint64_t now = clock_.NowMs();
  std::vector<NeighbourRow> rows;
  if (hostedIndex != 0) {
    for (const SimClient& client : clients_) {
      const auto address = text::ParseIpv4(client.ip);
      const auto mac = ParseMacText(client.mac);
      if (!address || !mac || !Connected(client, now) || statics_.contains({hostedIndex, *address}))
        continue;
      rows.push_back(MakeRow(hostedIndex, *address, *mac, kDynamic));
    }
    rows.push_back(
        MakeRow(hostedIndex, *text::ParseIpv4("192.168.137.255"), kBroadcastMac, kStatic));
    rows.push_back(MakeRow(hostedIndex, *text::ParseIpv4("224.0.0.22"), kMulticastMac, kStatic));
  }
  for (const SimNeighbour& neighbour : neighbours_) {
    const std::uint32_t index =
        neighbour.connection == "hosted" ? hostedIndex : indexOf(neighbour.connection);
    const auto address = text::ParseIpv4(neighbour.ip);
    const auto mac = ParseMacText(neighbour.mac);
    if (index == 0 || !address || !mac || statics_.contains({index, *address}) ||
        (neighbour.type != kDynamic && deleted_.contains({index, *address})))
      continue;
    rows.push_back(MakeRow(index, *address, *mac, neighbour.type));
  }
  for (const auto& [key, entry] : statics_)
    if ((key.first == hostedIndex && hostedIndex != 0) || interfaceExists(key.first))
      rows.push_back(MakeRow(key.first, key.second, entry.mac, kStatic));
  std::stable_sort(rows.begin(), rows.end(), [](const NeighbourRow& a, const NeighbourRow& b) {
    return HostOrder(a.address) < HostOrder(b.address);
  });
  return rows;
}

void SimulatedClients::SetStatic(std::uint32_t interfaceIndex, std::uint32_t address,
                                 const std::array<std::uint8_t, 6>& mac) {
  Account();
  statics_[{interfaceIndex, address}] = {mac};
  deleted_.erase({interfaceIndex, address});
}

std::vector<std::array<std::uint8_t, 6>> SimulatedClients::StaticMacs(
    std::uint32_t interfaceIndex) const {
  std::vector<std::array<std::uint8_t, 6>> macs;
  for (const auto& [key, entry] : statics_)
    if (key.first == interfaceIndex) macs.push_back(entry.mac);
  return macs;
}

bool SimulatedClients::Delete(std::uint32_t interfaceIndex, std::uint32_t address) {
  Account();
  if (statics_.erase({interfaceIndex, address}) > 0) return true;
  deleted_.insert({interfaceIndex, address});
  return true;
}

std::pair<std::uint64_t, std::uint64_t> SimulatedClients::HostedTraffic() {
  Account();
  return {sent_, received_};
}

std::optional<SimClient> SimulatedClients::ClientAt(std::string_view ip) const {
  for (const SimClient& client : clients_)
    if (client.ip == ip) return client;
  return std::nullopt;
}

}  // namespace lumora::platform::sim
