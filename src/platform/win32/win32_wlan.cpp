#include <windows.h>
// After <windows.h>, in whose terms it is declared.
#include <wlanapi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "platform/failure_report.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_wlan.h"

namespace lumora::platform::win32 {

namespace {

// The hosted network (Windows 7 and later) as Microsoft documents it for <wlanapi.h>,
// declared here because mingw-w64's headers lack it. Only the layouts and values this
// file relies on matter; the names are the documented ones.
enum WLAN_HOSTED_NETWORK_OPCODE {
  wlan_hosted_network_opcode_connection_settings = 0,
  wlan_hosted_network_opcode_security_settings = 1,
  wlan_hosted_network_opcode_station_profile = 2,
  wlan_hosted_network_opcode_enable = 3,
};

enum WLAN_HOSTED_NETWORK_STATE {
  wlan_hosted_network_unavailable = 0,
  wlan_hosted_network_idle = 1,
  wlan_hosted_network_active = 2,
};

// The system's explanation of a failure, which goes to the diagnostic log by its name
// (kReasonNames); the program itself only looks at the call's result. The service writes
// any of its values here, so the type holds every int.
enum WLAN_HOSTED_NETWORK_REASON : int {
  wlan_hosted_network_reason_success = 0,
};

// The documented names in the order of their values, 0 to 28.
constexpr std::array<std::string_view, 29> kReasonNames = {
    "wlan_hosted_network_reason_success",
    "wlan_hosted_network_reason_unspecified",
    "wlan_hosted_network_reason_bad_parameters",
    "wlan_hosted_network_reason_service_shutting_down",
    "wlan_hosted_network_reason_insufficient_resources",
    "wlan_hosted_network_reason_elevation_required",
    "wlan_hosted_network_reason_read_only",
    "wlan_hosted_network_reason_persistence_failed",
    "wlan_hosted_network_reason_crypt_error",
    "wlan_hosted_network_reason_impersonation",
    "wlan_hosted_network_reason_stop_before_start",
    "wlan_hosted_network_reason_interface_available",
    "wlan_hosted_network_reason_interface_unavailable",
    "wlan_hosted_network_reason_miniport_stopped",
    "wlan_hosted_network_reason_miniport_started",
    "wlan_hosted_network_reason_incompatible_connection_started",
    "wlan_hosted_network_reason_incompatible_connection_stopped",
    "wlan_hosted_network_reason_user_action",
    "wlan_hosted_network_reason_client_abort",
    "wlan_hosted_network_reason_ap_start_failed",
    "wlan_hosted_network_reason_peer_arrived",
    "wlan_hosted_network_reason_peer_departed",
    "wlan_hosted_network_reason_peer_timeout",
    "wlan_hosted_network_reason_gp_denied",
    "wlan_hosted_network_reason_service_unavailable",
    "wlan_hosted_network_reason_device_change",
    "wlan_hosted_network_reason_properties_change",
    "wlan_hosted_network_reason_virtual_station_blocking_use",
    "wlan_hosted_network_reason_service_available_on_virtual_station",
};

enum WLAN_HOSTED_NETWORK_PEER_AUTH_STATE {
  wlan_hosted_network_peer_state_invalid = 0,
  wlan_hosted_network_peer_state_authenticated = 1,
};

struct WLAN_HOSTED_NETWORK_CONNECTION_SETTINGS {
  DOT11_SSID hostedNetworkSSID;
  DWORD dwMaxNumberOfPeers;
};

struct WLAN_HOSTED_NETWORK_PEER_STATE {
  DOT11_MAC_ADDRESS PeerMacAddress;
  WLAN_HOSTED_NETWORK_PEER_AUTH_STATE PeerAuthState;
};

struct WLAN_HOSTED_NETWORK_STATUS {
  WLAN_HOSTED_NETWORK_STATE HostedNetworkState;
  GUID IPDeviceID;
  DOT11_MAC_ADDRESS wlanHostedNetworkBSSID;
  DOT11_PHY_TYPE dot11PhyType;
  ULONG ulChannelFrequency;
  DWORD dwNumberOfPeers;
  WLAN_HOSTED_NETWORK_PEER_STATE PeerList[1];
};

static_assert(sizeof(WLAN_HOSTED_NETWORK_CONNECTION_SETTINGS) == 40);
static_assert(offsetof(WLAN_HOSTED_NETWORK_STATUS, dwNumberOfPeers) == 36);
static_assert(sizeof(WLAN_HOSTED_NETWORK_STATUS) == 52);

using HostedQueryProperty = DWORD WINAPI(HANDLE, WLAN_HOSTED_NETWORK_OPCODE, DWORD*, void**,
                                         WLAN_OPCODE_VALUE_TYPE*, void*);
using HostedSetProperty = DWORD WINAPI(HANDLE, WLAN_HOSTED_NETWORK_OPCODE, DWORD, void*,
                                       WLAN_HOSTED_NETWORK_REASON*, void*);
using HostedQueryStatus = DWORD WINAPI(HANDLE, WLAN_HOSTED_NETWORK_STATUS**, void*);
using HostedSetSecondaryKey = DWORD WINAPI(HANDLE, DWORD, UCHAR*, BOOL, BOOL,
                                           WLAN_HOSTED_NETWORK_REASON*, void*);
// InitSettings, RefreshSecuritySettings, ForceStart and ForceStop.
using HostedAction = DWORD WINAPI(HANDLE, WLAN_HOSTED_NETWORK_REASON*, void*);

// wlanapi.dll is loaded at run time, so that the program also starts on a system
// without the WLAN service's client library; an export the library lacks is nullptr,
// and only the calls that need it give up.
struct WlanApi {
  WlanApi()
      : module(L"wlanapi.dll"),
        open(module.Find<decltype(WlanOpenHandle)>("WlanOpenHandle")),
        close(module.Find<decltype(WlanCloseHandle)>("WlanCloseHandle")),
        free(module.Find<decltype(WlanFreeMemory)>("WlanFreeMemory")),
        enumerate(module.Find<decltype(WlanEnumInterfaces)>("WlanEnumInterfaces")),
        queryProperty(module.Find<HostedQueryProperty>("WlanHostedNetworkQueryProperty")),
        setProperty(module.Find<HostedSetProperty>("WlanHostedNetworkSetProperty")),
        queryStatus(module.Find<HostedQueryStatus>("WlanHostedNetworkQueryStatus")),
        setSecondaryKey(module.Find<HostedSetSecondaryKey>("WlanHostedNetworkSetSecondaryKey")),
        initSettings(module.Find<HostedAction>("WlanHostedNetworkInitSettings")),
        refreshSecurity(module.Find<HostedAction>("WlanHostedNetworkRefreshSecuritySettings")),
        forceStart(module.Find<HostedAction>("WlanHostedNetworkForceStart")),
        forceStop(module.Find<HostedAction>("WlanHostedNetworkForceStop")) {}

  // What every call needs: a client handle and a way to give back what it returns.
  bool HasClient() const { return open && close && free; }

  ScopedModule module;
  decltype(WlanOpenHandle)* open;
  decltype(WlanCloseHandle)* close;
  decltype(WlanFreeMemory)* free;
  decltype(WlanEnumInterfaces)* enumerate;
  HostedQueryProperty* queryProperty;
  HostedSetProperty* setProperty;
  HostedQueryStatus* queryStatus;
  HostedSetSecondaryKey* setSecondaryKey;
  HostedAction* initSettings;
  HostedAction* refreshSecurity;
  HostedAction* forceStart;
  HostedAction* forceStop;
};

// A client handle of the service; none (reported) when the service cannot be opened, as
// on a machine whose WLAN service is not running.
class WlanClient {
 public:
  WlanClient(const WlanApi& api, DWORD clientVersion) : api_(api) {
    DWORD negotiated = 0;
    const DWORD opened = api_.open(clientVersion, nullptr, &negotiated, &handle_);
    if (opened != ERROR_SUCCESS) {
      handle_ = nullptr;
      ReportSystemError("WlanOpenHandle", opened);
    }
  }
  ~WlanClient() {
    if (!handle_) return;
    const DWORD closed = api_.close(handle_, nullptr);
    if (closed != ERROR_SUCCESS) ReportSystemError("WlanCloseHandle", closed);
  }
  WlanClient(const WlanClient&) = delete;
  WlanClient& operator=(const WlanClient&) = delete;

  HANDLE Get() const { return handle_; }

 private:
  const WlanApi& api_;
  HANDLE handle_ = nullptr;
};

// Memory the WLAN service allocated for an answer, given back with WlanFreeMemory.
template <typename T>
class WlanMemory {
 public:
  explicit WlanMemory(const WlanApi& api) : api_(api) {}
  ~WlanMemory() {
    if (memory_) api_.free(memory_);
  }
  WlanMemory(const WlanMemory&) = delete;
  WlanMemory& operator=(const WlanMemory&) = delete;

  const T* Get() const { return memory_; }
  T** Put() { return &memory_; }

 private:
  const WlanApi& api_;
  T* memory_ = nullptr;
};

constexpr DWORD kHostedClientVersion = 2;

// Runs call with a client handle of its own when the library has every export named in
// required; otherwise gives the caller's neutral answer.
template <typename Result, typename Call, typename... Exports>
Result WithHostedClient(Result neutral, Call call, Exports* WlanApi::*... required) {
  const WlanApi api;
  if (!api.HasClient() || ((api.*required == nullptr) || ...)) return neutral;
  const WlanClient client(api, kHostedClientVersion);
  if (!client.Get()) return neutral;
  return call(api, client.Get());
}

// A call that gives a reason: true on success, else the failure is reported.
bool HostedCallSucceeded(std::string_view call, DWORD result, WLAN_HOSTED_NETWORK_REASON reason) {
  if (result == ERROR_SUCCESS) return true;
  ReportHostedNetworkError(call, result, static_cast<int>(reason));
  return false;
}

std::string_view OpcodeName(WLAN_HOSTED_NETWORK_OPCODE opcode) {
  return opcode == wlan_hosted_network_opcode_enable ? "enable" : "connection settings";
}

// The property's value when the service answers with at least a whole T: a shorter
// answer is not read past its end.
template <typename T>
std::optional<T> QueryHostedProperty(const WlanApi& api, HANDLE client,
                                     WLAN_HOSTED_NETWORK_OPCODE opcode) {
  const std::string call = "WlanHostedNetworkQueryProperty " + std::string(OpcodeName(opcode));
  WlanMemory<void> value(api);
  DWORD size = 0;
  WLAN_OPCODE_VALUE_TYPE source = wlan_opcode_value_type_invalid;
  const DWORD asked = api.queryProperty(client, opcode, &size, value.Put(), &source, nullptr);
  if (asked != ERROR_SUCCESS) {
    ReportSystemError(call, asked);
    return std::nullopt;
  }
  if (!value.Get() || size < sizeof(T)) {
    ReportFailure(call, "an answer of " + std::to_string(value.Get() ? size : 0) +
                            " bytes, short of " + std::to_string(sizeof(T)));
    return std::nullopt;
  }
  return *static_cast<const T*>(value.Get());
}

bool SetHostedProperty(const WlanApi& api, HANDLE client, WLAN_HOSTED_NETWORK_OPCODE opcode,
                       DWORD size, void* data) {
  WLAN_HOSTED_NETWORK_REASON reason = wlan_hosted_network_reason_success;
  const DWORD set = api.setProperty(client, opcode, size, data, &reason, nullptr);
  return HostedCallSucceeded("WlanHostedNetworkSetProperty " + std::string(OpcodeName(opcode)), set,
                             reason);
}

// An action and the name its failure is reported under.
struct NamedAction {
  HostedAction* WlanApi::*action;
  std::string_view call;
};

constexpr NamedAction kInitSettings{&WlanApi::initSettings, "WlanHostedNetworkInitSettings"};
constexpr NamedAction kRefreshSecurity{&WlanApi::refreshSecurity,
                                       "WlanHostedNetworkRefreshSecuritySettings"};
constexpr NamedAction kForceStart{&WlanApi::forceStart, "WlanHostedNetworkForceStart"};
constexpr NamedAction kForceStop{&WlanApi::forceStop, "WlanHostedNetworkForceStop"};

bool RunHostedAction(const WlanApi& api, HANDLE client, const NamedAction& named) {
  WLAN_HOSTED_NETWORK_REASON reason = wlan_hosted_network_reason_success;
  return HostedCallSucceeded(named.call, (api.*named.action)(client, &reason, nullptr), reason);
}

// The calls that take nothing but the client handle.
bool RunHostedAction(const NamedAction& named) {
  return WithHostedClient(
      false,
      [&named](const WlanApi& api, HANDLE client) { return RunHostedAction(api, client, named); },
      named.action);
}

}  // namespace

std::optional<int> Win32Wlan::CountInterfaces(int clientVersion) {
  const WlanApi api;
  if (!api.HasClient() || !api.enumerate) return std::nullopt;
  const WlanClient client(api, static_cast<DWORD>(clientVersion));
  if (!client.Get()) return std::nullopt;
  WlanMemory<WLAN_INTERFACE_INFO_LIST> list(api);
  const DWORD listed = api.enumerate(client.Get(), nullptr, list.Put());
  if (listed != ERROR_SUCCESS || !list.Get()) {
    ReportSystemError("WlanEnumInterfaces", listed != ERROR_SUCCESS ? listed : ERROR_NO_DATA);
    return 0;
  }
  return static_cast<int>(list.Get()->dwNumberOfItems);
}

std::optional<bool> Win32Wlan::HostedNetworkEnabled() {
  return WithHostedClient(
      std::optional<bool>(),
      [](const WlanApi& api, HANDLE client) -> std::optional<bool> {
        const auto enabled =
            QueryHostedProperty<BOOL>(api, client, wlan_hosted_network_opcode_enable);
        if (!enabled) return std::nullopt;
        return *enabled != FALSE;
      },
      &WlanApi::queryProperty);
}

bool Win32Wlan::SetHostedNetworkEnabled(bool enabled) {
  return WithHostedClient(
      false,
      [enabled](const WlanApi& api, HANDLE client) {
        // Settings that were never written are made first, or the service refuses the
        // flag; whether that step had anything to do does not matter here.
        RunHostedAction(api, client, kInitSettings);
        BOOL value = enabled ? TRUE : FALSE;
        return SetHostedProperty(api, client, wlan_hosted_network_opcode_enable, sizeof value,
                                 &value);
      },
      &WlanApi::initSettings, &WlanApi::setProperty);
}

std::optional<int> Win32Wlan::HostedNetworkState() {
  return WithHostedClient(
      std::optional<int>(),
      [](const WlanApi& api, HANDLE client) -> std::optional<int> {
        WlanMemory<WLAN_HOSTED_NETWORK_STATUS> status(api);
        const DWORD asked = api.queryStatus(client, status.Put(), nullptr);
        if (asked != ERROR_SUCCESS || !status.Get()) {
          ReportSystemError("WlanHostedNetworkQueryStatus",
                            asked != ERROR_SUCCESS ? asked : ERROR_NO_DATA);
          return std::nullopt;
        }
        return static_cast<int>(status.Get()->HostedNetworkState);
      },
      &WlanApi::queryStatus);
}

std::uint32_t Win32Wlan::HostedNetworkPeerLimit() {
  return WithHostedClient(
      std::uint32_t{0},
      [](const WlanApi& api, HANDLE client) -> std::uint32_t {
        const auto settings = QueryHostedProperty<WLAN_HOSTED_NETWORK_CONNECTION_SETTINGS>(
            api, client, wlan_hosted_network_opcode_connection_settings);
        return settings ? settings->dwMaxNumberOfPeers : 0;
      },
      &WlanApi::queryProperty);
}

bool Win32Wlan::InitHostedNetworkSettings() { return RunHostedAction(kInitSettings); }

bool Win32Wlan::SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) {
  // Refused before the library is touched: the record has room for 32 bytes only.
  if (ssid.size() > DOT11_SSID_MAX_LENGTH) return false;
  return WithHostedClient(
      false,
      [ssid, peerLimit](const WlanApi& api, HANDLE client) {
        WLAN_HOSTED_NETWORK_CONNECTION_SETTINGS settings{};
        settings.hostedNetworkSSID.uSSIDLength = static_cast<ULONG>(ssid.size());
        std::copy(ssid.begin(), ssid.end(), settings.hostedNetworkSSID.ucSSID);
        settings.dwMaxNumberOfPeers = peerLimit;
        return SetHostedProperty(api, client, wlan_hosted_network_opcode_connection_settings,
                                 sizeof settings, &settings);
      },
      &WlanApi::setProperty);
}

bool Win32Wlan::SetHostedNetworkPassPhrase(std::string_view passPhrase) {
  return WithHostedClient(
      false,
      [passPhrase](const WlanApi& api, HANDLE client) {
        // The service reads the key up to and including its terminating zero.
        std::string key(passPhrase);
        WLAN_HOSTED_NETWORK_REASON reason = wlan_hosted_network_reason_success;
        const DWORD set =
            api.setSecondaryKey(client, static_cast<DWORD>(key.size() + 1),
                                reinterpret_cast<UCHAR*>(key.data()), TRUE, TRUE, &reason, nullptr);
        return HostedCallSucceeded("WlanHostedNetworkSetSecondaryKey", set, reason);
      },
      &WlanApi::setSecondaryKey);
}

bool Win32Wlan::RefreshHostedNetworkSecurity() { return RunHostedAction(kRefreshSecurity); }

bool Win32Wlan::ForceStartHostedNetwork() { return RunHostedAction(kForceStart); }

bool Win32Wlan::ForceStopHostedNetwork() { return RunHostedAction(kForceStop); }

std::string HostedNetworkReasonName(int reason) {
  if (reason >= 0 && static_cast<std::size_t>(reason) < kReasonNames.size())
    return std::string(kReasonNames[static_cast<std::size_t>(reason)]);
  return "reason " + std::to_string(reason);
}

void ReportHostedNetworkError(std::string_view call, unsigned long error, int reason) {
  ReportFailure(call, SystemErrorText(error) + ", " + HostedNetworkReasonName(reason));
}

}  // namespace lumora::platform::win32
