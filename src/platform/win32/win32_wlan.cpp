#include <windows.h>
// After <windows.h>, in whose terms it is declared.
#include <wlanapi.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_network.h"

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

// The system's explanation of a failure; the program only looks at the call's result,
// so the many failure values are left out.
enum WLAN_HOSTED_NETWORK_REASON {
  wlan_hosted_network_reason_success = 0,
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

class WlanClient {
 public:
  WlanClient(const WlanApi& api, DWORD clientVersion) : api_(api) {
    DWORD negotiated = 0;
    if (api_.open(clientVersion, nullptr, &negotiated, &handle_) != ERROR_SUCCESS)
      handle_ = nullptr;
  }
  ~WlanClient() {
    if (handle_) api_.close(handle_, nullptr);
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

// The property's value when the service answers with at least a whole T: a shorter
// answer is not read past its end.
template <typename T>
std::optional<T> QueryHostedProperty(const WlanApi& api, HANDLE client,
                                     WLAN_HOSTED_NETWORK_OPCODE opcode) {
  WlanMemory<void> value(api);
  DWORD size = 0;
  WLAN_OPCODE_VALUE_TYPE source = wlan_opcode_value_type_invalid;
  if (api.queryProperty(client, opcode, &size, value.Put(), &source, nullptr) != ERROR_SUCCESS ||
      !value.Get() || size < sizeof(T)) {
    return std::nullopt;
  }
  return *static_cast<const T*>(value.Get());
}

bool SetHostedProperty(const WlanApi& api, HANDLE client, WLAN_HOSTED_NETWORK_OPCODE opcode,
                       DWORD size, void* data) {
  WLAN_HOSTED_NETWORK_REASON reason = wlan_hosted_network_reason_success;
  return api.setProperty(client, opcode, size, data, &reason, nullptr) == ERROR_SUCCESS;
}

bool RunHostedAction(const WlanApi& api, HANDLE client, HostedAction* WlanApi::*action) {
  WLAN_HOSTED_NETWORK_REASON reason = wlan_hosted_network_reason_success;
  return (api.*action)(client, &reason, nullptr) == ERROR_SUCCESS;
}

// The calls that take nothing but the client handle.
bool RunHostedAction(HostedAction* WlanApi::*action) {
  return WithHostedClient(
      false,
      [action](const WlanApi& api, HANDLE client) { return RunHostedAction(api, client, action); },
      action);
}

}  // namespace

std::optional<int> Win32Wlan::CountInterfaces(int clientVersion) {
  const WlanApi api;
  if (!api.HasClient() || !api.enumerate) return std::nullopt;
  const WlanClient client(api, static_cast<DWORD>(clientVersion));
  if (!client.Get()) return std::nullopt;
  WlanMemory<WLAN_INTERFACE_INFO_LIST> list(api);
  if (api.enumerate(client.Get(), nullptr, list.Put()) != ERROR_SUCCESS || !list.Get()) return 0;
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
        RunHostedAction(api, client, &WlanApi::initSettings);
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
        if (api.queryStatus(client, status.Put(), nullptr) != ERROR_SUCCESS || !status.Get())
          return std::nullopt;
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

bool Win32Wlan::InitHostedNetworkSettings() { return RunHostedAction(&WlanApi::initSettings); }

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
        return api.setSecondaryKey(client, static_cast<DWORD>(key.size() + 1),
                                   reinterpret_cast<UCHAR*>(key.data()), TRUE, TRUE, &reason,
                                   nullptr) == ERROR_SUCCESS;
      },
      &WlanApi::setSecondaryKey);
}

bool Win32Wlan::RefreshHostedNetworkSecurity() {
  return RunHostedAction(&WlanApi::refreshSecurity);
}

bool Win32Wlan::ForceStartHostedNetwork() { return RunHostedAction(&WlanApi::forceStart); }

bool Win32Wlan::ForceStopHostedNetwork() { return RunHostedAction(&WlanApi::forceStop); }

}  // namespace lumora::platform::win32
