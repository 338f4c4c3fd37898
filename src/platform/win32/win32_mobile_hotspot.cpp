// The mobile hotspot through the Windows Runtime, loaded at run time so that the
// program starts on Windows 7 and under Wine, which have no tethering manager.
#include <windows.h>
// After <windows.h>, which they build on.
#include <roapi.h>
#include <winstring.h>

#include <string>
#include <vector>

#include "platform/win32/scoped_com.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_mobile_hotspot.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/winrt_tethering.h"
#include "platform/win32/winrt_wait.h"

namespace lumora::platform::win32 {

namespace {

namespace rt = winrt;

// combase.dll's functions, looked up once: the DLL stays loaded for the life of the
// process, since strings and objects of the runtime may outlive any one call.
struct Combase {
  ScopedModule module{L"combase.dll"};
  decltype(RoInitialize)* roInitialize = module.Find<decltype(RoInitialize)>("RoInitialize");
  decltype(RoUninitialize)* roUninitialize =
      module.Find<decltype(RoUninitialize)>("RoUninitialize");
  decltype(RoGetActivationFactory)* getFactory =
      module.Find<decltype(RoGetActivationFactory)>("RoGetActivationFactory");
  decltype(WindowsCreateString)* createString =
      module.Find<decltype(WindowsCreateString)>("WindowsCreateString");
  decltype(WindowsDeleteString)* deleteString =
      module.Find<decltype(WindowsDeleteString)>("WindowsDeleteString");
  decltype(WindowsGetStringRawBuffer)* rawBuffer =
      module.Find<decltype(WindowsGetStringRawBuffer)>("WindowsGetStringRawBuffer");

  bool Complete() const {
    return roInitialize && roUninitialize && getFactory && createString && deleteString &&
           rawBuffer;
  }
};

const Combase& Api() {
  static const Combase api;
  return api;
}

void FreeHString(HSTRING string) { Api().deleteString(string); }

class ScopedHString : public ScopedResource<HSTRING, &FreeHString> {
 public:
  // A copy of the text; false (reported) when the runtime cannot make it.
  bool Assign(std::wstring_view text, std::string_view where) {
    HSTRING made = nullptr;
    const HRESULT result = Api().createString(text.data(), static_cast<UINT32>(text.size()), &made);
    if (FAILED(result)) {
      Reset();
      ReportComError(where, result);
      return false;
    }
    Reset(made);
    return true;
  }
  std::string Utf8() const {
    if (!Get()) return {};
    UINT32 length = 0;
    const wchar_t* text = Api().rawBuffer(Get(), &length);
    return text ? win32::Utf8(std::wstring_view(text, length)) : std::string();
  }
};

// The runtime on the calling thread for the length of one call, in the multithreaded
// apartment so that no message loop is needed for the system's answers. A thread already
// in the other model uses the runtime as it is.
class RuntimeScope {
 public:
  RuntimeScope() {
    if (!Api().Complete()) return;
    const HRESULT result = Api().roInitialize(RO_INIT_MULTITHREADED);
    owned_ = SUCCEEDED(result);
    usable_ = owned_ || result == RPC_E_CHANGED_MODE;
    if (!usable_) ReportComError("RoInitialize", result);
  }
  ~RuntimeScope() {
    if (owned_) Api().roUninitialize();
  }
  RuntimeScope(const RuntimeScope&) = delete;
  RuntimeScope& operator=(const RuntimeScope&) = delete;

  // False on Windows 7 (no combase.dll) and where the runtime failed to start.
  bool Usable() const { return usable_; }

 private:
  bool owned_ = false;
  bool usable_ = false;
};

// Answers that the system lacks a class or an interface, not failures.
bool IsAbsent(HRESULT result) {
  return result == REGDB_E_CLASSNOTREG || result == E_NOINTERFACE ||
         result == CLASS_E_CLASSNOTAVAILABLE;
}

// The statics of a runtime class; empty when the system has no such class (not
// reported) or the call failed (reported).
template <typename Statics>
ComPtr<Statics> Factory(const wchar_t* className, REFIID iid) {
  ComPtr<Statics> statics;
  ScopedHString name;
  if (!name.Assign(className, "WindowsCreateString")) return statics;
  const HRESULT result = Api().getFactory(name.Get(), iid, statics.PutVoid());
  if (FAILED(result)) {
    statics.Reset();
    if (!IsAbsent(result)) ReportComError("RoGetActivationFactory", result);
  }
  return statics;
}

bool Succeeded(HRESULT result, std::string_view call) {
  if (SUCCEEDED(result)) return true;
  ReportComError(call, result);
  return false;
}

std::string GuidText(const GUID& guid) {
  wchar_t text[40];
  const int length = StringFromGUID2(guid, text, 40);
  return length > 1 ? win32::Utf8(std::wstring_view(text, length - 1)) : std::string();
}

bool SameGuid(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The GUID of the profile's adapter; empty for a profile without one (a VPN's, for one).
std::string AdapterGuidOf(rt::IConnectionProfile& profile) {
  ComPtr<rt::INetworkAdapter> adapter;
  GUID id{};
  if (!Succeeded(profile.slots->get_NetworkAdapter(&profile, adapter.Put()),
                 "ConnectionProfile.get_NetworkAdapter") ||
      !adapter ||
      !Succeeded(adapter->slots->get_NetworkAdapterId(adapter.Get(), &id),
                 "NetworkAdapter.get_NetworkAdapterId")) {
    return {};
  }
  return GuidText(id);
}

// The connection profile of the adapter with the GUID (empty: the one the system uses for
// the Internet), chosen by ChooseConnectionProfile; empty when there is none.
ComPtr<rt::IConnectionProfile> Profile(std::string_view adapterGuid) {
  ComPtr<rt::IConnectionProfile> profile;
  auto information = Factory<rt::INetworkInformationStatics>(rt::kNetworkInformationClass,
                                                             rt::kIidNetworkInformationStatics);
  if (!information) return profile;
  // No Internet connection answers success and no profile.
  ComPtr<rt::IConnectionProfile> internet;
  Succeeded(information->slots->GetInternetConnectionProfile(information.Get(), internet.Put()),
            "NetworkInformation.GetInternetConnectionProfile");
  if (adapterGuid.empty()) return internet;

  std::vector<ComPtr<rt::IConnectionProfile>> candidates;
  std::vector<ProfileFacts> facts;
  const auto consider = [&](ComPtr<rt::IConnectionProfile> candidate, bool isInternet) {
    ProfileFacts fact;
    fact.internet = isInternet;
    fact.onAdapter = SameGuid(AdapterGuidOf(*candidate.Get()), adapterGuid);
    // Only the profiles of the adapter are asked: the others are not chosen anyway.
    rt::NetworkConnectivityLevel level = rt::NetworkConnectivityLevel::None;
    if (fact.onAdapter &&
        Succeeded(candidate->slots->GetNetworkConnectivityLevel(candidate.Get(), &level),
                  "ConnectionProfile.GetNetworkConnectivityLevel")) {
      fact.connectivityLevel = static_cast<int>(level);
    }
    facts.push_back(fact);
    candidates.push_back(std::move(candidate));
  };
  if (internet) consider(std::move(internet), true);

  ComPtr<rt::IVectorView<rt::IConnectionProfile>> profiles;
  UINT32 count = 0;
  if (Succeeded(information->slots->GetConnectionProfiles(information.Get(), profiles.Put()),
                "NetworkInformation.GetConnectionProfiles") &&
      profiles &&
      Succeeded(profiles->slots->get_Size(profiles.Get(), &count), "IVectorView.get_Size")) {
    for (UINT32 i = 0; i < count; ++i) {
      ComPtr<rt::IConnectionProfile> candidate;
      if (Succeeded(profiles->slots->GetAt(profiles.Get(), i, candidate.Put()),
                    "IVectorView.GetAt") &&
          candidate) {
        consider(std::move(candidate), false);
      }
    }
  }
  if (const auto chosen = ChooseConnectionProfile(facts)) profile = std::move(candidates[*chosen]);
  return profile;
}

ComPtr<rt::ITetheringManagerStatics2> ManagerStatics() {
  return Factory<rt::ITetheringManagerStatics2>(rt::kTetheringManagerClass,
                                                rt::kIidTetheringManagerStatics2);
}

// The tethering manager of the connection; empty when the system has none or no such
// connection.
ComPtr<rt::ITetheringManager> Manager(std::string_view adapterGuid) {
  ComPtr<rt::ITetheringManager> manager;
  // The class first: where it is missing the connections need not be asked for.
  auto statics = ManagerStatics();
  if (!statics) return manager;
  auto profile = Profile(adapterGuid);
  if (!profile) return manager;
  if (!Succeeded(
          statics->slots->CreateFromConnectionProfile(statics.Get(), profile.Get(), manager.Put()),
          "NetworkOperatorTetheringManager.CreateFromConnectionProfile")) {
    manager.Reset();
  }
  return manager;
}

// The operation's IAsyncInfo, which every asynchronous operation of the runtime has.
template <typename Operation>
WaitOutcome Await(Operation& operation, const AsyncWait& wait, std::string_view where) {
  ComPtr<rt::IAsyncInfo> info;
  const HRESULT asked = operation.QueryInterface(rt::kIidAsyncInfo, info.PutVoid());
  if (FAILED(asked) || !info) {
    ReportComError(std::string(where) + " IAsyncInfo", FAILED(asked) ? asked : E_NOINTERFACE);
    return WaitOutcome::Failed;
  }
  return AwaitOperation(*info.Get(), wait, where);
}

template <typename Operation>
void CloseOperation(Operation& operation) {
  ComPtr<rt::IAsyncInfo> info;
  if (SUCCEEDED(operation.QueryInterface(rt::kIidAsyncInfo, info.PutVoid())) && info)
    info->slots->Close(info.Get());
}

// Starts or stops the hotspot and reads the system's result.
TetheringResult RunTethering(std::string_view adapterGuid, const AsyncWait& wait, bool start) {
  TetheringResult outcome;
  RuntimeScope runtime;
  if (!runtime.Usable()) return outcome;
  auto manager = Manager(adapterGuid);
  if (!manager) return outcome;
  const std::string where = start ? "NetworkOperatorTetheringManager.StartTetheringAsync"
                                  : "NetworkOperatorTetheringManager.StopTetheringAsync";
  ComPtr<rt::ITetheringOperation> operation;
  const HRESULT begun = start ? manager->slots->StartTetheringAsync(manager.Get(), operation.Put())
                              : manager->slots->StopTetheringAsync(manager.Get(), operation.Put());
  if (!Succeeded(begun, where) || !operation) return outcome;
  const WaitOutcome waited = Await(*operation.Get(), wait, where);
  if (waited == WaitOutcome::TimedOut) outcome.timedOut = true;
  if (waited != WaitOutcome::Completed) return outcome;
  ComPtr<rt::ITetheringOperationResult> result;
  int status = outcome.status;
  ScopedHString message;
  if (Succeeded(operation->slots->GetResults(operation.Get(), result.Put()),
                where + " GetResults") &&
      result &&
      Succeeded(result->slots->get_Status(result.Get(), &status), where + " get_Status")) {
    outcome.status = status;
    if (Succeeded(result->slots->get_AdditionalErrorMessage(result.Get(), message.Put()),
                  where + " get_AdditionalErrorMessage")) {
      outcome.additionalError = message.Utf8();
    }
  }
  CloseOperation(*operation.Get());
  return outcome;
}

}  // namespace

std::optional<std::size_t> ChooseConnectionProfile(const std::vector<ProfileFacts>& profiles) {
  std::optional<std::size_t> connected, first;
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    const ProfileFacts& facts = profiles[i];
    if (!facts.onAdapter) continue;
    if (facts.internet) return i;
    if (!connected && facts.connectivityLevel != 0) connected = i;
    if (!first) first = i;
  }
  return connected ? connected : first;
}

// The status is polled rather than waited on with a completion handler: keepGoing has to
// be asked in any case, and the poll leaves no object of ours inside the system after a
// wait that gave up.
WaitOutcome AwaitOperation(rt::IAsyncInfo& operation, const AsyncWait& wait,
                           std::string_view where) {
  constexpr DWORD kPollMs = 15;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    rt::AsyncStatus status = rt::AsyncStatus::Started;
    const HRESULT read = operation.slots->get_Status(&operation, &status);
    if (FAILED(read)) {
      ReportComError(std::string(where) + " get_Status", read);
      operation.slots->Close(&operation);
      return WaitOutcome::Failed;
    }
    if (status == rt::AsyncStatus::Completed) return WaitOutcome::Completed;
    if (status == rt::AsyncStatus::Error) {
      HRESULT error = E_FAIL;
      if (FAILED(operation.slots->get_ErrorCode(&operation, &error))) error = E_FAIL;
      ReportComError(where, error);
      operation.slots->Close(&operation);
      return WaitOutcome::Failed;
    }
    if (status == rt::AsyncStatus::Canceled) {
      ReportFailure(where, "the system cancelled the operation");
      operation.slots->Close(&operation);
      return WaitOutcome::Failed;
    }
    const bool late = GetTickCount64() - start >= wait.limitMs;
    if (late || (wait.keepGoing && !wait.keepGoing())) {
      operation.slots->Cancel(&operation);
      operation.slots->Close(&operation);
      if (!late) return WaitOutcome::GivenUp;
      ReportFailure(where, "no answer within " + std::to_string(wait.limitMs) + " ms");
      return WaitOutcome::TimedOut;
    }
    Sleep(kPollMs);
  }
}

std::optional<int> Win32MobileHotspot::Capability(std::string_view adapterGuid) {
  RuntimeScope runtime;
  if (!runtime.Usable()) return std::nullopt;
  auto statics = ManagerStatics();
  if (!statics) return std::nullopt;
  auto profile = Profile(adapterGuid);
  if (!profile) return std::nullopt;
  int capability = 0;
  if (!Succeeded(statics->slots->GetTetheringCapabilityFromConnectionProfile(
                     statics.Get(), profile.Get(), &capability),
                 "NetworkOperatorTetheringManager.GetTetheringCapabilityFromConnectionProfile")) {
    return std::nullopt;
  }
  return capability;
}

bool Win32MobileHotspot::Configure(std::string_view adapterGuid, std::string_view ssid,
                                   std::string_view passPhrase, const AsyncWait& wait) {
  RuntimeScope runtime;
  if (!runtime.Usable()) return false;
  auto manager = Manager(adapterGuid);
  if (!manager) return false;
  constexpr std::string_view kWhere = "NetworkOperatorTetheringManager.ConfigureAccessPointAsync";
  ComPtr<rt::IAccessPointConfiguration> configuration;
  ScopedHString name;
  ScopedHString phrase;
  if (!Succeeded(
          manager->slots->GetCurrentAccessPointConfiguration(manager.Get(), configuration.Put()),
          "NetworkOperatorTetheringManager.GetCurrentAccessPointConfiguration") ||
      !configuration || !name.Assign(Wide(ssid), "WindowsCreateString") ||
      !phrase.Assign(Wide(passPhrase), "WindowsCreateString") ||
      !Succeeded(configuration->slots->put_Ssid(configuration.Get(), name.Get()),
                 "AccessPointConfiguration.put_Ssid") ||
      !Succeeded(configuration->slots->put_Passphrase(configuration.Get(), phrase.Get()),
                 "AccessPointConfiguration.put_Passphrase")) {
    return false;
  }
  ComPtr<rt::IAsyncAction> action;
  if (!Succeeded(manager->slots->ConfigureAccessPointAsync(manager.Get(), configuration.Get(),
                                                           action.Put()),
                 kWhere) ||
      !action) {
    return false;
  }
  if (Await(*action.Get(), wait, kWhere) != WaitOutcome::Completed) return false;
  // The action's own outcome: a pass phrase the system refuses fails here.
  const bool taken = Succeeded(action->slots->GetResults(action.Get()), kWhere);
  CloseOperation(*action.Get());
  return taken;
}

TetheringResult Win32MobileHotspot::Start(std::string_view adapterGuid, const AsyncWait& wait) {
  return RunTethering(adapterGuid, wait, true);
}

TetheringResult Win32MobileHotspot::Stop(std::string_view adapterGuid, const AsyncWait& wait) {
  return RunTethering(adapterGuid, wait, false);
}

std::optional<int> Win32MobileHotspot::State(std::string_view adapterGuid) {
  RuntimeScope runtime;
  if (!runtime.Usable()) return std::nullopt;
  auto manager = Manager(adapterGuid);
  int state = 0;
  if (!manager || !Succeeded(manager->slots->get_TetheringOperationalState(manager.Get(), &state),
                             "NetworkOperatorTetheringManager.get_TetheringOperationalState")) {
    return std::nullopt;
  }
  return state;
}

std::optional<std::vector<TetheringClient>> Win32MobileHotspot::Clients(
    std::string_view adapterGuid) {
  RuntimeScope runtime;
  if (!runtime.Usable()) return std::nullopt;
  auto manager = Manager(adapterGuid);
  if (!manager) return std::nullopt;
  // Systems before Windows 10 1607 have no client list.
  auto clientManager = manager.As<rt::ITetheringClientManager>(rt::kIidTetheringClientManager);
  ComPtr<rt::IVectorView<rt::ITetheringClient>> list;
  UINT32 count = 0;
  if (!clientManager ||
      !Succeeded(clientManager->slots->GetTetheringClients(clientManager.Get(), list.Put()),
                 "NetworkOperatorTetheringManager.GetTetheringClients") ||
      !list || !Succeeded(list->slots->get_Size(list.Get(), &count), "IVectorView.get_Size")) {
    return std::nullopt;
  }
  std::vector<TetheringClient> clients;
  for (UINT32 i = 0; i < count; ++i) {
    ComPtr<rt::ITetheringClient> client;
    ScopedHString mac;
    if (!Succeeded(list->slots->GetAt(list.Get(), i, client.Put()), "IVectorView.GetAt") ||
        !client ||
        !Succeeded(client->slots->get_MacAddress(client.Get(), mac.Put()),
                   "TetheringClient.get_MacAddress")) {
      continue;
    }
    TetheringClient entry;
    entry.mac = mac.Utf8();
    ComPtr<rt::IVectorView<rt::IHostName>> names;
    UINT32 nameCount = 0;
    if (Succeeded(client->slots->get_HostNames(client.Get(), names.Put()),
                  "TetheringClient.get_HostNames") &&
        names &&
        Succeeded(names->slots->get_Size(names.Get(), &nameCount), "IVectorView.get_Size")) {
      for (UINT32 n = 0; n < nameCount; ++n) {
        ComPtr<rt::IHostName> name;
        ScopedHString text;
        if (Succeeded(names->slots->GetAt(names.Get(), n, name.Put()), "IVectorView.GetAt") &&
            name &&
            Succeeded(name->slots->get_DisplayName(name.Get(), text.Put()),
                      "HostName.get_DisplayName")) {
          entry.hostNames.push_back(text.Utf8());
        }
      }
    }
    clients.push_back(std::move(entry));
  }
  return clients;
}

std::optional<bool> Win32MobileHotspot::NoConnectionsTimeoutEnabled() {
  RuntimeScope runtime;
  if (!runtime.Usable()) return std::nullopt;
  // Windows 10 before 2004 has neither the statics nor the setting.
  auto statics = Factory<rt::ITetheringManagerStatics4>(rt::kTetheringManagerClass,
                                                        rt::kIidTetheringManagerStatics4);
  boolean enabled = 0;
  if (!statics || !Succeeded(statics->slots->IsNoConnectionsTimeoutEnabled(statics.Get(), &enabled),
                             "NetworkOperatorTetheringManager.IsNoConnectionsTimeoutEnabled")) {
    return std::nullopt;
  }
  return enabled != 0;
}

bool Win32MobileHotspot::SetNoConnectionsTimeoutEnabled(bool enabled) {
  RuntimeScope runtime;
  if (!runtime.Usable()) return false;
  auto statics = Factory<rt::ITetheringManagerStatics4>(rt::kTetheringManagerClass,
                                                        rt::kIidTetheringManagerStatics4);
  if (!statics) return false;
  return enabled ? Succeeded(statics->slots->EnableNoConnectionsTimeout(statics.Get()),
                             "NetworkOperatorTetheringManager.EnableNoConnectionsTimeout")
                 : Succeeded(statics->slots->DisableNoConnectionsTimeout(statics.Get()),
                             "NetworkOperatorTetheringManager.DisableNoConnectionsTimeout");
}

}  // namespace lumora::platform::win32
