#include "hotspot/mobile_hotspot.h"

#include "exec/worker_context.h"
#include "netconfig/adapter_toolkit.h"
#include "platform/failure_report.h"

namespace lumora::hotspot {

namespace {

constexpr std::string_view kShowDriversCommand = "netsh wlan show drivers";
constexpr int kMostRestarts = 3;
constexpr std::uint64_t kRestartWindowMs = 10 * 60 * 1000;

using platform::TetheringStatus;

bool Is(int status, TetheringStatus expected) { return status == static_cast<int>(expected); }

// The system answered, but gave no reason: its capability may tell one.
bool FailedWithoutReason(const platform::TetheringResult& result) {
  return Is(result.status, TetheringStatus::Unknown) && !result.timedOut;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string MobileStartFailureText(const platform::TetheringResult& result,
                                   std::optional<int> capabilityAfter) {
  std::string text;
  const int s = result.status;
  const bool noReason = FailedWithoutReason(result);
  if (Is(s, TetheringStatus::WiFiDeviceOff)) {
    text = "无线网卡已关闭，请打开WLAN开关后再试。";
  } else if (Is(s, TetheringStatus::OperationInProgress)) {
    text = "系统正在开启或关闭热点，请稍后再试。";
  } else if (Is(s, TetheringStatus::MobileBroadbandDeviceOff) ||
             Is(s, TetheringStatus::NetworkLimitedConnectivity)) {
    text = "当前的连网方式无法共享，请换一个连网方式后再试。";
  } else if (Is(s, TetheringStatus::EntitlementCheckFailure) ||
             (noReason && capabilityAfter == platform::kTetheringDisabledByGroupPolicy)) {
    text = "系统策略禁止开启移动热点。";
  } else if (noReason && capabilityAfter == platform::kTetheringDisabledByHardwareLimitation) {
    text = "无线网卡不支持开启热点。";
  } else {
    text = "系统未能开启移动热点（错误 " + std::to_string(s) + "）。";
  }
  if (result.timedOut) {
    text += "\r\n系统在" + std::to_string(kMobileOperationLimitMs / 1000) + "秒内没有回答。";
  } else if (!result.additionalError.empty()) {
    text += "\r\n" + result.additionalError;
  }
  return text;
}

HostedNetworkSupport DriverHostedNetworkSupport(std::string_view output) {
  bool no = false;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string_view::npos) end = output.size();
    const std::string_view line = output.substr(start, end - start);
    start = end + 1;
    if (line.find("支持的承载网络") == std::string_view::npos &&
        line.find("Hosted network supported") == std::string_view::npos)
      continue;
    const std::size_t colon = line.rfind(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    // One wireless interface with it is enough.
    if (value == "是" || value == "Yes") return HostedNetworkSupport::Yes;
    if (value == "否" || value == "No") no = true;
  }
  return no ? HostedNetworkSupport::No : HostedNetworkSupport::Unknown;
}

platform::AsyncWait MobileHotspot::Wait() const {
  return {kMobileOperationLimitMs, exec::CurrentWorkerGoesOn};
}

HostedNetworkSupport MobileHotspot::DriverSupport() {
  return DriverHostedNetworkSupport(net_.exec.RunConsoleCommand(kShowDriversCommand));
}

bool MobileHotspot::TakesConnection(std::string_view connection) {
  if (net_.Windows7()) return false;
  const std::string guid =
      exec::PlatformCall([&] { return net_.toolkit.AdapterGuidOfConnection(connection); });
  platform::MobileHotspotPort& port = net_.ports.mobileHotspot;
  // A connection without a known adapter is taken to be the one the system uses for the
  // Internet.
  const std::optional<int> capability = exec::PlatformCall([&] { return port.Capability(guid); });
  if (capability != platform::kTetheringEnabled) return false;
  std::lock_guard guard(lock_);
  adapterGuid_ = guid;
  return true;
}

std::optional<std::string> MobileHotspot::Start(std::string_view name,
                                                std::string_view passPhrase) {
  platform::MobileHotspotPort& port = net_.ports.mobileHotspot;
  std::string guid;
  {
    std::lock_guard guard(lock_);
    guid = adapterGuid_;
    name_ = std::string(name);
    passPhrase_ = std::string(passPhrase);
    restarts_.clear();
  }
  const std::optional<bool> timeout =
      exec::PlatformCall([&] { return port.NoConnectionsTimeoutEnabled(); });
  {
    std::lock_guard guard(lock_);
    if (!savedTimeout_) savedTimeout_ = timeout;
  }
  if (timeout.value_or(false) &&
      !exec::PlatformCall([&] { return port.SetNoConnectionsTimeoutEnabled(false); })) {
    platform::ReportFailure("MobileHotspot::Start", "the no-connections timeout stays on");
  }
  // Started with the system's old name and pass phrase, the hotspot would not be the one
  // the window shows: a refused configuration is a failed start.
  if (!exec::PlatformCall([&] { return port.Configure(guid, name, passPhrase, Wait()); })) {
    platform::ReportFailure("MobileHotspot::Start", "the access point took no configuration");
    Stop();
    platform::TetheringResult refused;
    refused.additionalError = std::string(kConfigurationRefused);
    return MobileStartFailureText(refused);
  }
  {
    std::lock_guard guard(lock_);
    startSent_ = true;
    accepted_ = {std::string(name), std::string(passPhrase)};
  }
  const platform::TetheringResult result =
      exec::PlatformCall([&] { return port.Start(guid, Wait()); });
  if (result.status == static_cast<int>(TetheringStatus::Success)) {
    std::lock_guard guard(lock_);
    running_ = true;
    return std::nullopt;
  }
  Stop();
  // The system's capability tells why a start failed without a reason.
  std::optional<int> capabilityAfter;
  if (FailedWithoutReason(result))
    capabilityAfter = exec::PlatformCall([&] { return port.Capability(guid); });
  return MobileStartFailureText(result, capabilityAfter);
}

void MobileHotspot::Stop() {
  platform::MobileHotspotPort& port = net_.ports.mobileHotspot;
  std::string guid;
  bool started;
  {
    std::lock_guard guard(lock_);
    started = startSent_;
    startSent_ = false;
    running_ = false;
    guid = adapterGuid_;
  }
  // Put back even when the worker has been ended: the stop is what every way out
  // relies on, so it runs as a call of its own, whatever the worker.
  if (started) {
    const platform::TetheringResult result =
        port.Stop(guid, {kMobileOperationLimitMs, [] { return true; }});
    if (result.status != static_cast<int>(TetheringStatus::Success))
      platform::ReportFailure("MobileHotspot::Stop",
                              "the system answered " + std::to_string(result.status));
  }
  std::lock_guard guard(lock_);
  RestoreTimeoutLocked();
}

void MobileHotspot::RestoreTimeoutLocked() {
  if (!savedTimeout_) return;
  const bool was = *savedTimeout_;
  savedTimeout_.reset();
  if (was && !net_.ports.mobileHotspot.SetNoConnectionsTimeoutEnabled(true))
    platform::ReportFailure("MobileHotspot::Stop", "the no-connections timeout was not put back");
}

bool MobileHotspot::Running() const {
  std::lock_guard guard(lock_);
  return running_;
}

MobileHotspot::Configuration MobileHotspot::Accepted() const {
  std::lock_guard guard(lock_);
  return accepted_;
}

std::vector<platform::TetheringClient> MobileHotspot::ListedClients() {
  std::string guid;
  {
    std::lock_guard guard(lock_);
    if (!running_) return {};
    guid = adapterGuid_;
  }
  return exec::PlatformCall([&] { return net_.ports.mobileHotspot.Clients(guid); })
      .value_or(std::vector<platform::TetheringClient>{});
}

MobileHotspot::Watch MobileHotspot::Check() {
  platform::MobileHotspotPort& port = net_.ports.mobileHotspot;
  std::string guid;
  {
    std::lock_guard guard(lock_);
    if (!running_) return Watch::Fine;
    guid = adapterGuid_;
  }
  const std::optional<int> state = exec::PlatformCall([&] { return port.State(guid); });
  if (state != static_cast<int>(platform::TetheringState::Off)) {
    // Something else may have turned the timeout on again meanwhile.
    if (exec::PlatformCall([&] { return port.NoConnectionsTimeoutEnabled(); }).value_or(false))
      exec::PlatformCall([&] { port.SetNoConnectionsTimeoutEnabled(false); });
    return Watch::Fine;
  }
  const std::uint64_t now = net_.exec.Clock().NowMs();
  std::string name, passPhrase;
  {
    std::lock_guard guard(lock_);
    while (!restarts_.empty() && now - restarts_.front() >= kRestartWindowMs) restarts_.pop_front();
    if (static_cast<int>(restarts_.size()) >= kMostRestarts) {
      running_ = false;
      RestoreTimeoutLocked();
      return Watch::GaveUp;
    }
    restarts_.push_back(now);
    name = name_;
    passPhrase = passPhrase_;
    startSent_ = true;
  }
  if (exec::PlatformCall([&] { return port.NoConnectionsTimeoutEnabled(); }).value_or(false))
    exec::PlatformCall([&] { port.SetNoConnectionsTimeoutEnabled(false); });
  const platform::TetheringResult result =
      exec::PlatformCall([&] { return port.Start(guid, Wait()); });
  if (result.status != static_cast<int>(TetheringStatus::Success))
    platform::ReportFailure("MobileHotspot::Check", MobileStartFailureText(result));
  return Watch::Restarted;
}

}  // namespace lumora::hotspot
