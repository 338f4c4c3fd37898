#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
// After <windows.h>, which Winsock 2 brings in.
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/scoped_com.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_network.h"
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

TEST(Win32NetWlan, CountsInterfacesOrAnswersNothingForAnUnknownClientVersion) {
  Win32Wlan wlan;
  EXPECT_EQ(wlan.CountInterfaces(99), std::nullopt);
  const ScopedModule wlanapi(L"wlanapi.dll");
  const auto count = wlan.CountInterfaces(2);
  EXPECT_EQ(count.has_value(), static_cast<bool>(wlanapi));
  if (count) {
    EXPECT_GE(*count, 0);
  }
}

// Wine's wlanapi.dll gives a client handle, answers the two hosted-network queries it
// exports with ERROR_CALL_NOT_IMPLEMENTED and lacks every other hosted-network export: each
// call has to end in its neutral answer without calling through a missing export.
TEST(Win32NetWlan, HostedNetworkCallsGiveNeutralAnswersWhereTheLibraryCannotHost) {
  const ScopedModule wlanapi(L"wlanapi.dll");
  ASSERT_TRUE(wlanapi);
  for (const char* missing :
       {"WlanHostedNetworkSetProperty", "WlanHostedNetworkInitSettings",
        "WlanHostedNetworkSetSecondaryKey", "WlanHostedNetworkRefreshSecuritySettings",
        "WlanHostedNetworkForceStart", "WlanHostedNetworkForceStop"}) {
    ASSERT_EQ(wlanapi.Find<void()>(missing), nullptr) << missing;
  }
  using QueryStatus = DWORD WINAPI(HANDLE, void**, void*);
  const auto queryStatus = wlanapi.Find<QueryStatus>("WlanHostedNetworkQueryStatus");
  ASSERT_NE(queryStatus, nullptr);
  ASSERT_NE(wlanapi.Find<void()>("WlanHostedNetworkQueryProperty"), nullptr);
  void* status = nullptr;
  ASSERT_EQ(queryStatus(nullptr, &status, nullptr), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));

  Win32Wlan wlan;
  ASSERT_TRUE(wlan.CountInterfaces(2).has_value());  // the client handle is not what fails
  EXPECT_EQ(wlan.HostedNetworkEnabled(), std::nullopt);
  EXPECT_EQ(wlan.HostedNetworkState(), std::nullopt);
  EXPECT_EQ(wlan.HostedNetworkPeerLimit(), 0u);
  EXPECT_FALSE(wlan.SetHostedNetworkEnabled(true));
  EXPECT_FALSE(wlan.SetHostedNetworkEnabled(false));
  EXPECT_FALSE(wlan.InitHostedNetworkSettings());
  EXPECT_FALSE(wlan.SetHostedNetworkSsid("Lumora", 100));
  EXPECT_FALSE(wlan.SetHostedNetworkPassPhrase("12345678"));
  EXPECT_FALSE(wlan.RefreshHostedNetworkSecurity());
  EXPECT_FALSE(wlan.ForceStartHostedNetwork());
  EXPECT_FALSE(wlan.ForceStopHostedNetwork());
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
  Win32Wlan wlan;
  for (const Case& c : cases) {
    SetLastError(kUntouched);
    const bool set = wlan.SetHostedNetworkSsid(c.ssid, 8);
    const DWORD lastError = GetLastError();
    EXPECT_FALSE(set) << c.ssid.size();
    EXPECT_EQ(lastError != kUntouched, c.reachesLibrary) << c.ssid.size();
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
