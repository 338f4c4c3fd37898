#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
// After <windows.h>, which Winsock 2 brings in.
#include <wininet.h>
#include <wlanapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/scoped_com.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_sharing.h"
#include "platform/win32/win32_wlan.h"
#include "support/test_support.h"
#include "text/ipv4.h"

namespace lumora::platform::win32 {
namespace {

constexpr std::uint32_t kLoopbackType = 24;  // IF_TYPE_SOFTWARE_LOOPBACK
constexpr std::string_view kDevicePrefix = "\\DEVICE\\TCPIP_";

struct FoundAdapter {
  AdapterAddresses adapter;
  std::uint32_t index = 0;
};

// The loopback interface, found the way the program finds any connection: its name in
// the address table, then the index of its GUID.
std::optional<FoundAdapter> FindLoopback(Win32IpHelper& ip) {
  const auto adapters = ip.AdaptersAddresses();
  if (!adapters) return std::nullopt;
  for (const AdapterAddresses& adapter : *adapters) {
    const std::uint32_t index = ip.AdapterIndex(std::string(kDevicePrefix) + adapter.adapterName);
    const auto row = ip.InterfaceEntry(index);
    if (row && row->type == kLoopbackType) return FoundAdapter{adapter, index};
  }
  return std::nullopt;
}

// Sends datagrams to a socket of this process over 127.0.0.1 and reads them back, so
// that they have crossed the loopback interface both ways when it returns.
std::size_t SendOverLoopback(int datagrams, int bytesEach) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  std::size_t delivered = 0;
  const SOCKET receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  const SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (receiver != INVALID_SOCKET && sender != INVALID_SOCKET &&
      bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    DWORD timeoutMs = 2000;
    setsockopt(receiver, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
    std::vector<char> payload(bytesEach, 'x');
    for (int i = 0; i < datagrams; ++i) {
      if (sendto(sender, payload.data(), bytesEach, 0, reinterpret_cast<sockaddr*>(&address),
                 sizeof address) != bytesEach) {
        break;
      }
      const int received = recv(receiver, payload.data(), bytesEach, 0);
      if (received <= 0) break;
      delivered += static_cast<std::size_t>(received);
    }
  }
  if (sender != INVALID_SOCKET) closesocket(sender);
  if (receiver != INVALID_SOCKET) closesocket(receiver);
  WSACleanup();
  return delivered;
}

TEST(Win32NetIpHelper, ResolvesLoopbackByNameAndCountsItsTraffic) {
  Win32IpHelper ip;
  const auto loopback = FindLoopback(ip);
  ASSERT_TRUE(loopback.has_value());
  EXPECT_NE(loopback->index, 0u);
  EXPECT_EQ(loopback->adapter.adapterName.front(), '{');
  EXPECT_EQ(loopback->adapter.adapterName.back(), '}');

  const auto before = ip.InterfaceEntry(loopback->index);
  ASSERT_TRUE(before.has_value());
  EXPECT_EQ(before->index, loopback->index);
  EXPECT_EQ(before->alias, loopback->adapter.friendlyName);
  EXPECT_NE(before->luid, 0u);
  EXPECT_GE(before->physicalAddress.size(), 6u);

  const std::size_t sent = SendOverLoopback(8, 1000);
  ASSERT_EQ(sent, 8000u);
  const auto after = ip.InterfaceEntry(loopback->index);
  ASSERT_TRUE(after.has_value());
  EXPECT_GE(after->outOctets - before->outOctets, sent);
  EXPECT_GE(after->inOctets - before->inOctets, sent);
}

TEST(Win32NetNameLookup, AnEndedWorkerGivesUpALookUpThatTakesItsTime) {
  // A name server that takes its time: the look-up answers only when the test lets it,
  // or at the limit.
  struct Server {
    std::mutex lock;
    std::condition_variable changed;
    bool asked = false, released = false, answered = false;
  };
  auto server = std::make_shared<Server>();
  Win32NameLookup names([server](const void*, int, wchar_t* host, unsigned long) {
    std::unique_lock guard(server->lock);
    server->asked = true;
    server->changed.notify_all();
    server->changed.wait_for(guard, std::chrono::seconds(10), [&] { return server->released; });
    wcscpy(host, L"slow-phone");
    server->answered = true;
    return 0;
  });
  // Still going on: the look-up waits for its name.
  int looks = 0;
  std::thread release([&] {
    std::unique_lock guard(server->lock);
    server->changed.wait(guard, [&] { return server->asked; });
    server->released = true;
    server->changed.notify_all();
  });
  EXPECT_EQ(names.HostNameOfAddress("192.0.2.21", [&] { return ++looks > 0; }), "slow-phone");
  release.join();

  // Ended at the third look: the answer comes while the name server is still silent.
  server->asked = server->released = server->answered = false;
  looks = 0;
  EXPECT_EQ(names.HostNameOfAddress("192.0.2.21", [&] { return ++looks < 3; }), "");
  bool answeredMeanwhile = false;
  {
    std::lock_guard guard(server->lock);
    answeredMeanwhile = server->answered;
    server->released = true;
  }
  server->changed.notify_all();
  EXPECT_FALSE(answeredMeanwhile);
  EXPECT_EQ(looks, 3);
}

TEST(Win32NetIpHelper, UnknownNamesAndIndexesGiveNothing) {
  Win32IpHelper ip;
  for (const std::string& name :
       {std::string(kDevicePrefix) + "{00000000-0000-0000-0000-000000000000}",
        std::string(kDevicePrefix), std::string("lo"), std::string()}) {
    EXPECT_EQ(ip.AdapterIndex(name), 0u) << name;
  }
  EXPECT_EQ(ip.InterfaceEntry(0), std::nullopt);
  EXPECT_EQ(ip.InterfaceEntry(0x7FFFFFF0u), std::nullopt);
}

TEST(Win32NetIpHelper, ListsIpv4AdaptersAmongAllAdapters) {
  Win32IpHelper ip;
  const auto all = ip.AdaptersAddresses();
  const auto ipv4 = ip.AdaptersInfo();
  ASSERT_TRUE(all.has_value());
  const auto loopback = FindLoopback(ip);
  ASSERT_TRUE(loopback.has_value());
  // A machine with nothing but the loopback interface has no IPv4 adapter table.
  if (!ipv4) return;
  for (const AdapterInfo& adapter : *ipv4) {
    const bool listed = std::any_of(all->begin(), all->end(), [&](const AdapterAddresses& a) {
      return a.adapterName == adapter.adapterName;
    });
    EXPECT_TRUE(listed) << adapter.adapterName;
    EXPECT_FALSE(adapter.description.empty()) << adapter.adapterName;
    EXPECT_TRUE(text::ParseIpv4(adapter.ipAddress).has_value()) << adapter.ipAddress;
    EXPECT_NE(adapter.adapterName, loopback->adapter.adapterName);
  }
}

TEST(Win32NetWmi, ReadsObjectsAsTextAndAgreesWithIpHelper) {
  Win32Wmi wmi;
  Win32IpHelper ip;
  const auto system = wmi.Query("root\\cimv2", "Select * From Win32_OperatingSystem", 10);
  ASSERT_TRUE(system.has_value());
  ASSERT_EQ(system->size(), 1u);
  const WmiObject& os = system->front();
  ASSERT_TRUE(os.contains("Primary"));
  EXPECT_EQ(os.at("Primary"), "1");  // a boolean
  ASSERT_TRUE(os.contains("OSLanguage"));
  EXPECT_EQ(os.at("OSLanguage"), "2052");  // a number, in decimal: Chinese (PRC)
  EXPECT_FALSE(os.contains("__CLASS"));    // system properties are left out

  const auto adapters = wmi.Query("root\\cimv2", "Select * From Win32_NetworkAdapter", 10);
  ASSERT_TRUE(adapters.has_value());
  for (const WmiObject& adapter : *adapters) {
    ASSERT_TRUE(adapter.contains("GUID"));
    ASSERT_TRUE(adapter.contains("InterfaceIndex"));
    EXPECT_EQ(std::to_string(ip.AdapterIndex(std::string(kDevicePrefix) + adapter.at("GUID"))),
              adapter.at("InterfaceIndex"));
  }
  if (adapters->size() > 1) {
    const auto one = wmi.Query("root\\cimv2", "Select * From Win32_NetworkAdapter", 1);
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->size(), 1u);
  }
  EXPECT_EQ(wmi.Query("root\\cimv2", "Select * From Win32_NetworkAdapter", 0),
            std::vector<WmiObject>());
  {
    // A namespace that is not there cannot be queried; the failure is reported.
    lumora::testing::ExpectedFailureReports reports;
    EXPECT_EQ(wmi.Query("root\\nosuch", "Select * From Win32_NetworkAdapter", 10), std::nullopt);
    ASSERT_EQ(reports.Lines().size(), 1u);
    EXPECT_TRUE(reports.Lines()[0].starts_with("WMI ConnectServer: error 0x8004100E"));
  }
  const auto unknownClass = wmi.Query("root\\cimv2", "Select * From Win32_NoSuchClass", 10);
  EXPECT_TRUE(!unknownClass || unknownClass->empty());
}

TEST(Win32NetCom, LeavesTheCallingThreadsComStateAsItFoundIt) {
  Win32Wmi wmi;
  // A thread without COM has none again afterwards: it may still choose either model.
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    EXPECT_TRUE(wmi.Query("root\\cimv2", "Select * From Win32_OperatingSystem", 1).has_value());
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  }).join();
  EXPECT_EQ(afterwards, S_OK);

  // A thread of the multithreaded apartment keeps it, and COM serves the call there.
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_TRUE(wmi.Query("root\\cimv2", "Select * From Win32_OperatingSystem", 1).has_value());
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(afterwards, S_FALSE);
}

bool ClassRegistered(const wchar_t* clsidKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, clsidKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Where the system lacks these COM classes (Wine has neither), the walks report that
// they could not start and visit nothing.
TEST(Win32NetCom, SharingAndConnectionManagerAnswerNeutrallyWhereMissing) {
  lumora::testing::ExpectedFailureReports sharingReports;
  Win32Sharing sharing;
  int visited = 0;
  const bool sharingWalked = sharing.WalkEveryConnection([&](SharedConnection&) {
    ++visited;
    return true;
  });
  const bool sharingPresent = ClassRegistered(L"HNetCfg.HNetShare");
  EXPECT_EQ(sharingWalked, sharingPresent);
  if (!sharingPresent) {
    EXPECT_EQ(visited, 0);
    EXPECT_TRUE(sharing.PublicConnections().empty());
  }
  EXPECT_EQ(sharingReports.Lines().size(), sharingPresent ? 0u : 2u);

  Win32ConnectionManager manager;
  visited = 0;
  const std::size_t before = sharingReports.Lines().size();
  const bool managerWalked = manager.WalkConnections([&](ManagedConnection&) {
    ++visited;
    return false;
  });
  const bool managerPresent = ClassRegistered(L"CLSID\\{BA126AD1-2166-11D1-B1D0-00805FC1270E}");
  EXPECT_EQ(managerWalked, managerPresent);
  // A manager that is missing is reported: it is not missing on a real Windows.
  EXPECT_EQ(sharingReports.Lines().size() - before, managerPresent ? 0u : 1u);
  EXPECT_LE(visited, managerPresent ? 1 : 0);  // the walk stops when told to
}

// A sharing object of the test's own: IUnknown and IDispatch that do nothing, and a count
// of references that never frees the object, which lives on the test's stack.
template <typename Interface>
class FakeDispatch : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  ULONG references = 1;
};

class FakeConnectionProps final : public FakeDispatch<INetConnectionProps> {
 public:
  explicit FakeConnectionProps(std::wstring name) : name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = SysAllocString(name_.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Status(NETCON_STATUS* status) override {
    *status = NCS_CONNECTED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MediaType(NETCON_MEDIATYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Characteristics(DWORD*) override { return E_NOTIMPL; }

 private:
  std::wstring name_;
};

// Answers each switch with the result it was given and keeps the type it was asked for.
class FakeSharingConfiguration final : public FakeDispatch<INetSharingConfiguration> {
 public:
  HRESULT STDMETHODCALLTYPE get_SharingEnabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_SharingConnectionType(SHARINGCONNECTIONTYPE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableSharing() override {
    ++disables;
    return result;
  }
  HRESULT STDMETHODCALLTYPE EnableSharing(SHARINGCONNECTIONTYPE type) override {
    enabledAs = static_cast<int>(type);
    return result;
  }
  HRESULT STDMETHODCALLTYPE get_InternetFirewallEnabled(VARIANT_BOOL*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableInternetFirewall() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableInternetFirewall() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_EnumPortMappings(SHARINGCONNECTION_ENUM_FLAGS,
                                                 INetSharingPortMappingCollection**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE AddPortMapping(BSTR, UCHAR, USHORT, USHORT, DWORD, BSTR, ICS_TARGETTYPE,
                                           INetSharingPortMapping**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RemovePortMapping(INetSharingPortMapping*) override {
    return E_NOTIMPL;
  }

  HRESULT result = S_OK;
  int enabledAs = -1;
  int disables = 0;
};

// A switch of sharing that the system refuses, or that has no configuration to go
// through, is what tells a user why sharing did not come up: it is reported with the
// connection's name and the system's error.
TEST(Win32NetCom, ASharingSwitchTheSystemRefusesIsReportedWithItsConnection) {
  enum class Switch { Public, Private, Off };
  struct Case {
    const char* what;
    bool configured;  // the sharing object gave a configuration for the connection
    HRESULT result;   // the configuration's answer to the switch
    Switch change;
    std::string report;  // how the one report starts; empty: none
  };
  const Case cases[] = {
      {"public, taken", true, S_OK, Switch::Public, ""},
      {"private, taken", true, S_OK, Switch::Private, ""},
      {"off, taken", true, S_OK, Switch::Off, ""},
      {"public, refused", true, static_cast<HRESULT>(0x80040201), Switch::Public,
       "EnableSharing(public) 以太网 2: error 0x80040201"},
      {"private, refused", true, E_ACCESSDENIED, Switch::Private,
       "EnableSharing(private) 以太网 2: error 0x80070005"},
      {"off, refused", true, E_UNEXPECTED, Switch::Off,
       "DisableSharing 以太网 2: error 0x8000FFFF"},
      {"no configuration, public", false, S_OK, Switch::Public,
       "EnableSharing(public) 以太网 2, INetSharingConfigurationForINetConnection: error "
       "0x80004005"},
      {"no configuration, off", false, S_OK, Switch::Off,
       "DisableSharing 以太网 2, INetSharingConfigurationForINetConnection: error 0x80004005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeConnectionProps props(Wide("以太网 2"));
    FakeSharingConfiguration config;
    config.result = c.result;
    ComPtr<INetConnectionProps> givenProps;
    *givenProps.Put() = &props;
    ComPtr<INetSharingConfiguration> givenConfig;
    if (c.configured) *givenConfig.Put() = &config;
    SharingItem item(std::move(givenProps), std::move(givenConfig), c.configured ? S_OK : E_FAIL);

    lumora::testing::ExpectedFailureReports reports;
    const bool switched = c.change == Switch::Off ? item.DisableSharing()
                                                  : item.EnableSharing(c.change == Switch::Public
                                                                           ? SharingType::Public
                                                                           : SharingType::Private);
    EXPECT_EQ(switched, c.configured && SUCCEEDED(c.result));
    if (c.configured && c.change != Switch::Off) {
      EXPECT_EQ(config.enabledAs,
                c.change == Switch::Public ? ICSSHARINGTYPE_PUBLIC : ICSSHARINGTYPE_PRIVATE);
    }
    EXPECT_EQ(config.disables, c.configured && c.change == Switch::Off ? 1 : 0);
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), c.report.empty() ? 0u : 1u);
    if (!c.report.empty()) {
      EXPECT_TRUE(lines[0].starts_with(c.report)) << lines[0];
    }
  }
}

// The WLAN service as the test finds it, asked directly rather than through the port.
struct WlanFacts {
  bool library = false;         // wlanapi.dll loads
  bool client = false;          // a client handle of version 2 opens
  std::optional<DWORD> listed;  // the number of interfaces WlanEnumInterfaces lists
  bool hosts = false;           // the hosted network's status can be read: a test must not
                                // change the settings of such a system
};

WlanFacts AskWlan(const ScopedModule& wlanapi) {
  WlanFacts facts;
  facts.library = static_cast<bool>(wlanapi);
  const auto open = wlanapi.Find<decltype(WlanOpenHandle)>("WlanOpenHandle");
  const auto close = wlanapi.Find<decltype(WlanCloseHandle)>("WlanCloseHandle");
  const auto free = wlanapi.Find<decltype(WlanFreeMemory)>("WlanFreeMemory");
  const auto enumerate = wlanapi.Find<decltype(WlanEnumInterfaces)>("WlanEnumInterfaces");
  using QueryStatus = DWORD WINAPI(HANDLE, void**, void*);
  const auto queryStatus = wlanapi.Find<QueryStatus>("WlanHostedNetworkQueryStatus");
  DWORD negotiated = 0;
  HANDLE client = nullptr;
  if (!open || !close || !free || open(2, nullptr, &negotiated, &client) != ERROR_SUCCESS)
    return facts;
  facts.client = true;
  WLAN_INTERFACE_INFO_LIST* list = nullptr;
  if (enumerate && enumerate(client, nullptr, &list) == ERROR_SUCCESS && list) {
    facts.listed = list->dwNumberOfItems;
    free(list);
  }
  void* status = nullptr;
  if (queryStatus && queryStatus(client, &status, nullptr) == ERROR_SUCCESS) {
    facts.hosts = true;
    free(status);
  }
  close(client, nullptr);
  return facts;
}

TEST(Win32NetWlan, CountsTheInterfacesTheServiceListsAndReportsAClientItCannotOpen) {
  const ScopedModule wlanapi(L"wlanapi.dll");
  const WlanFacts facts = AskWlan(wlanapi);
  Win32Wlan wlan;
  {
    // No service hands out a client of a version that does not exist.
    lumora::testing::ExpectedFailureReports reports;
    EXPECT_EQ(wlan.CountInterfaces(99), std::nullopt);
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), facts.library ? 1u : 0u);
    if (facts.library) {
      EXPECT_TRUE(lines[0].starts_with("WlanOpenHandle: error ")) << lines[0];
    }
  }
  lumora::testing::ExpectedFailureReports reports;
  const auto count = wlan.CountInterfaces(2);
  EXPECT_EQ(count.has_value(), facts.client);
  if (facts.client) {
    EXPECT_EQ(count, static_cast<int>(facts.listed.value_or(0)));
  }
  const std::vector<std::string> lines = reports.Lines();
  // A client that does not open, and a list that cannot be read, are each reported.
  const char* const failing = !facts.library  ? nullptr
                              : !facts.client ? "WlanOpenHandle: error "
                              : !facts.listed ? "WlanEnumInterfaces: error "
                                              : nullptr;
  ASSERT_EQ(lines.size(), failing ? 1u : 0u);
  if (failing) {
    EXPECT_TRUE(lines[0].starts_with(failing)) << lines[0];
  }
}

// Where the system cannot host, each hosted-network call gives its neutral answer and
// reports every step that failed: the client handle that did not open, or each call the
// service refused. A call that needs an export the library lacks gives up before it
// begins, with nothing to report. (Wine's library lacks all but the two queries, which
// answer ERROR_CALL_NOT_IMPLEMENTED.) A system that hosts is left as it is.
TEST(Win32NetWlan, HostedNetworkCallsGiveNeutralAnswersAndReportWhyWhereTheSystemCannotHost) {
  const ScopedModule wlanapi(L"wlanapi.dll");
  const WlanFacts facts = AskWlan(wlanapi);
  if (facts.hosts)
    GTEST_SKIP() << "this system has a hosted network; its settings stay as they are";
  struct Case {
    const char* what;
    std::vector<const char*> exports;  // the hosted network's exports the call needs
    std::vector<std::string> steps;    // what each report names, where the client opens
    std::function<bool(Win32Wlan&)> neutral;
  };
  const std::vector<const char*> initAndSet = {"WlanHostedNetworkInitSettings",
                                               "WlanHostedNetworkSetProperty"};
  const std::vector<std::string> initAndSetSteps = {"WlanHostedNetworkInitSettings",
                                                    "WlanHostedNetworkSetProperty enable"};
  const Case cases[] = {
      {"enabled",
       {"WlanHostedNetworkQueryProperty"},
       {"WlanHostedNetworkQueryProperty enable"},
       [](Win32Wlan& w) { return w.HostedNetworkEnabled() == std::nullopt; }},
      {"state",
       {"WlanHostedNetworkQueryStatus"},
       {"WlanHostedNetworkQueryStatus"},
       [](Win32Wlan& w) { return w.HostedNetworkState() == std::nullopt; }},
      {"peer limit",
       {"WlanHostedNetworkQueryProperty"},
       {"WlanHostedNetworkQueryProperty connection settings"},
       [](Win32Wlan& w) { return w.HostedNetworkPeerLimit() == 0u; }},
      {"enable", initAndSet, initAndSetSteps,
       [](Win32Wlan& w) { return !w.SetHostedNetworkEnabled(true); }},
      {"disable", initAndSet, initAndSetSteps,
       [](Win32Wlan& w) { return !w.SetHostedNetworkEnabled(false); }},
      {"init settings",
       {"WlanHostedNetworkInitSettings"},
       {"WlanHostedNetworkInitSettings"},
       [](Win32Wlan& w) { return !w.InitHostedNetworkSettings(); }},
      {"name",
       {"WlanHostedNetworkSetProperty"},
       {"WlanHostedNetworkSetProperty connection settings"},
       [](Win32Wlan& w) { return !w.SetHostedNetworkSsid("Lumora", 100); }},
      {"pass phrase",
       {"WlanHostedNetworkSetSecondaryKey"},
       {"WlanHostedNetworkSetSecondaryKey"},
       [](Win32Wlan& w) { return !w.SetHostedNetworkPassPhrase("12345678"); }},
      {"refresh",
       {"WlanHostedNetworkRefreshSecuritySettings"},
       {"WlanHostedNetworkRefreshSecuritySettings"},
       [](Win32Wlan& w) { return !w.RefreshHostedNetworkSecurity(); }},
      {"force start",
       {"WlanHostedNetworkForceStart"},
       {"WlanHostedNetworkForceStart"},
       [](Win32Wlan& w) { return !w.ForceStartHostedNetwork(); }},
      {"force stop",
       {"WlanHostedNetworkForceStop"},
       {"WlanHostedNetworkForceStop"},
       [](Win32Wlan& w) { return !w.ForceStopHostedNetwork(); }},
  };
  Win32Wlan wlan;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool exported =
        facts.library && std::all_of(c.exports.begin(), c.exports.end(),
                                     [&](const char* name) { return wlanapi.Find<void()>(name); });
    std::vector<std::string> expected;
    if (exported) expected = facts.client ? c.steps : std::vector<std::string>{"WlanOpenHandle"};
    lumora::testing::ExpectedFailureReports reports;
    EXPECT_TRUE(c.neutral(wlan));
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_TRUE(lines[i].starts_with(expected[i] + ": error ")) << lines[i];
  }
}

// The service's reason goes to the log by its documented name, which a user can look up.
TEST(Win32NetWlan, AHostedNetworkFailureIsReportedWithTheServicesReason) {
  struct Case {
    int reason;
    std::string name;
  };
  const Case cases[] = {
      {0, "wlan_hosted_network_reason_success"},
      {1, "wlan_hosted_network_reason_unspecified"},
      {5, "wlan_hosted_network_reason_elevation_required"},
      {12, "wlan_hosted_network_reason_interface_unavailable"},
      {19, "wlan_hosted_network_reason_ap_start_failed"},
      {23, "wlan_hosted_network_reason_gp_denied"},
      {24, "wlan_hosted_network_reason_service_unavailable"},
      {28, "wlan_hosted_network_reason_service_available_on_virtual_station"},
      {29, "reason 29"},
      {-1, "reason -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    lumora::testing::ExpectedFailureReports reports;
    ReportHostedNetworkError("WlanHostedNetworkForceStart", ERROR_INVALID_STATE, c.reason);
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("WlanHostedNetworkForceStart: error 5023")) << lines[0];
    EXPECT_TRUE(lines[0].ends_with(", " + c.name)) << lines[0];
  }
}

// Looking up an export that the library lacks leaves ERROR_PROC_NOT_FOUND in the thread's
// last error, so a call that never reached the library is the one that leaves it alone.
TEST(Win32NetWlan, RefusesAnSsidLongerThan32BytesBeforeTouchingTheLibrary) {
  constexpr DWORD kUntouched = 0x20000001;  // the application bit: no system code
  struct Case {
    std::string ssid;  // bytes in code page 936
    bool reachesLibrary;
  };
  const Case cases[] = {
      {std::string(33, 'a'), false},
      {std::string(200, 'a'), false},
      {[] {  // seventeen times 中: 34 bytes
         std::string ssid;
         for (int i = 0; i < 17; ++i) ssid += "\xD6\xD0";
         return ssid;
       }(),
       false},
      {std::string(32, 'a'), true},
      {std::string(), true},
  };
  const ScopedModule wlanapi(L"wlanapi.dll");
  const bool hosts = AskWlan(wlanapi).hosts;
  Win32Wlan wlan;
  for (const Case& c : cases) {
    // A system that hosts would take the name: it is left as it is.
    if (c.reachesLibrary && hosts) continue;
    lumora::testing::ExpectedFailureReports reports;
    SetLastError(kUntouched);
    const bool set = wlan.SetHostedNetworkSsid(c.ssid, 8);
    const DWORD lastError = GetLastError();
    EXPECT_FALSE(set) << c.ssid.size();
    EXPECT_EQ(lastError != kUntouched, c.reachesLibrary) << c.ssid.size();
    // A refusal of the program's own is no failure of the system.
    if (!c.reachesLibrary) {
      EXPECT_TRUE(reports.Lines().empty()) << c.ssid.size();
    }
  }
}

TEST(Win32NetServices, ReadsAndChangesServicesAndAnswersZeroForUnknownOnes) {
  Win32Services services;
  const char* const unknown = "LumoraNoSuchService";
  {
    // A service the program needs is there on every Windows: its absence is reported.
    lumora::testing::ExpectedFailureReports reports;
    EXPECT_EQ(services.StartType(unknown), 0u);
    EXPECT_EQ(services.CurrentState(unknown), 0u);
    EXPECT_FALSE(services.SetStartType(unknown, 3));
    EXPECT_FALSE(services.Start(unknown));
    ASSERT_EQ(reports.Lines().size(), 4u);
    EXPECT_TRUE(reports.Lines()[0].starts_with("OpenService: error 1060")) << reports.Lines()[0];
  }

  // The RPC service runs on every system, Wine included.
  const std::uint32_t startType = services.StartType("RpcSs");
  EXPECT_GE(startType, 2u);
  EXPECT_LE(startType, 3u);
  EXPECT_EQ(services.CurrentState("RpcSs"), static_cast<std::uint32_t>(SERVICE_RUNNING));
  EXPECT_TRUE(services.SetStartType("RpcSs", startType));
  EXPECT_EQ(services.StartType("RpcSs"), startType);
  EXPECT_FALSE(services.Start("RpcSs"));  // already running
}

// A key of the test's own under HKEY_LOCAL_MACHINE, removed afterwards.
class MachineTestKey {
 public:
  MachineTestKey() {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                    nullptr, &key_, nullptr);
  }
  ~MachineTestKey() {
    if (!key_) return;
    RegCloseKey(key_);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPath, KEY_WOW64_64KEY, 0);
  }
  MachineTestKey(const MachineTestKey&) = delete;
  MachineTestKey& operator=(const MachineTestKey&) = delete;

  bool Set(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    return key_ && RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), bytes) ==
                       ERROR_SUCCESS;
  }

  static constexpr const wchar_t* kPath = L"SOFTWARE\\LumoraNetworkTest";
  static constexpr std::string_view kPathUtf8 = "SOFTWARE\\LumoraNetworkTest";

 private:
  HKEY key_ = nullptr;
};

TEST(Win32NetRegistry, ReadsStringValuesOnly) {
  MachineTestKey key;
  const std::wstring name = Wide("本地连接* 12");
  const std::wstring path = L"%SystemRoot%\\system32";
  const wchar_t unterminated[] = {L'W', L'L', L'A', L'N'};
  const DWORD number = 7;
  ASSERT_TRUE(key.Set(L"Name", REG_SZ, name.c_str(), (name.size() + 1) * sizeof(wchar_t)));
  ASSERT_TRUE(key.Set(L"Path", REG_EXPAND_SZ, path.c_str(), (path.size() + 1) * sizeof(wchar_t)));
  ASSERT_TRUE(key.Set(L"Bare", REG_SZ, unterminated, sizeof unterminated));
  ASSERT_TRUE(key.Set(L"Number", REG_DWORD, &number, sizeof number));

  struct Case {
    std::string keyPath, value;
    std::optional<std::string> expected;
  };
  const std::string own(MachineTestKey::kPathUtf8);
  const Case cases[] = {
      {own, "Name", "本地连接* 12"},
      {own, "name", "本地连接* 12"},            // value names ignore letter case
      {own, "Path", "%SystemRoot%\\system32"},  // not expanded
      {own, "Bare", "WLAN"},
      {own, "Number", std::nullopt},
      {own, "Missing", std::nullopt},
      {own + "\\Missing", "Name", std::nullopt},
  };
  Win32Registry registry;
  for (const Case& c : cases)
    EXPECT_EQ(registry.ReadMachineString(c.keyPath, c.value), c.expected) << c.value;
}

TEST(Win32NetInternetState, GivesTheSystemsNameDecodedFromItsAnsiCodePage) {
  // The wide call gives the same name without a code page in between.
  wchar_t wide[512] = {};
  DWORD flags = 0;
  const bool named = InternetGetConnectedStateExW(&flags, wide, 512, 0) && wide[0] != L'\0';
  const std::string expected = named ? Utf8(wide) : std::string(511, ' ');
  EXPECT_EQ(Win32InternetState().ConnectedStateName(), expected);
}

}  // namespace
}  // namespace lumora::platform::win32
