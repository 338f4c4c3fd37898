#include <winsock2.h>
#include <ws2ipdef.h>
// After Winsock 2, in whose terms the tables are declared. iphlpapi.h leaves the
// interface rows out for the Windows version the build names, so netioapi.h is asked
// for by itself.
#include <iphlpapi.h>
#include <netioapi.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/win32/own_thread_call.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"
#include "text/cp936.h"

namespace lumora::platform::win32 {

namespace {

constexpr ULONG kIncludePrefix = 0x10;  // GAA_FLAG_INCLUDE_PREFIX
constexpr std::size_t kShownAddressBytes = 6;
// A table that grows between the two calls four times running is being filled faster
// than it can be read; the next scan tries again.
constexpr int kNeighbourTableTries = 4;

// A zero-filled block the tables are written into, aligned for their 64-bit fields.
class TableBuffer {
 public:
  explicit TableBuffer(ULONG bytes) : words_((bytes + 7) / 8 + 1, 0) {}
  template <typename Record>
  Record* As() {
    return reinterpret_cast<Record*>(words_.data());
  }

 private:
  std::vector<std::uint64_t> words_;
};

// The ANSI tables are in the system code page, which on the machines the program is
// for is 936.
std::string FromAnsi(const char* text) { return text::Utf8FromCp936(text ? text : ""); }

}  // namespace

Win32IpHelper::Win32IpHelper()
    : Win32IpHelper([](void* table, unsigned long* bytes, bool sorted) {
        return IpHelperDll().GetIpNetTable(static_cast<MIB_IPNETTABLE*>(table), bytes, sorted);
      }) {}

Win32IpHelper::Win32IpHelper(NeighbourTableCall call) : neighbourTable_(std::move(call)) {}

std::optional<std::vector<AdapterInfo>> Win32IpHelper::AdaptersInfo() {
  ULONG size = 0;
  IpHelperDll().GetAdaptersInfo(nullptr, &size);
  TableBuffer buffer(size);
  auto* first = buffer.As<IP_ADAPTER_INFO>();
  if (const ULONG error = IpHelperDll().GetAdaptersInfo(first, &size); error != NO_ERROR) {
    // A machine without adapters has no table, which is no failure.
    if (error != ERROR_NO_DATA) ReportSystemError("GetAdaptersInfo", error);
    return std::nullopt;
  }
  std::vector<AdapterInfo> adapters;
  for (const IP_ADAPTER_INFO* a = first; a; a = a->Next)
    adapters.push_back({FromAnsi(a->AdapterName), FromAnsi(a->Description),
                        FromAnsi(a->IpAddressList.IpAddress.String)});
  return adapters;
}

std::optional<std::vector<AdapterAddresses>> Win32IpHelper::AdaptersAddresses() {
  ULONG size = 0;
  IpHelperDll().GetAdaptersAddresses(AF_UNSPEC, kIncludePrefix, nullptr, nullptr, &size);
  TableBuffer buffer(size);
  auto* first = buffer.As<IP_ADAPTER_ADDRESSES>();
  if (const ULONG error =
          IpHelperDll().GetAdaptersAddresses(AF_UNSPEC, kIncludePrefix, nullptr, first, &size);
      error != NO_ERROR) {
    if (error != ERROR_NO_DATA) ReportSystemError("GetAdaptersAddresses", error);
    return std::nullopt;
  }
  std::vector<AdapterAddresses> adapters;
  for (const IP_ADAPTER_ADDRESSES* a = first; a; a = a->Next) {
    adapters.push_back(
        {FromAnsi(a->AdapterName), a->FriendlyName ? Utf8(a->FriendlyName) : std::string()});
  }
  return adapters;
}

std::uint32_t Win32IpHelper::AdapterIndex(std::string_view deviceName) {
  std::wstring name = Wide(deviceName);
  ULONG index = 0;
  if (IpHelperDll().GetAdapterIndex(name.data(), &index) != NO_ERROR) return 0;
  return index;
}

std::optional<InterfaceRow> Win32IpHelper::InterfaceEntry(std::uint32_t index) {
  MIB_IF_ROW2 row{};
  row.InterfaceIndex = index;
  if (const DWORD error = IpHelperDll().GetIfEntry2(&row); error != NO_ERROR) {
    // An index that names no interface (any more) is an answer, not a failure.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_INVALID_PARAMETER)
      ReportSystemError("GetIfEntry2", error);
    return std::nullopt;
  }
  InterfaceRow entry;
  entry.luid = row.InterfaceLuid.Value;
  entry.index = row.InterfaceIndex;
  entry.alias = Utf8(row.Alias);
  entry.description = Utf8(row.Description);
  entry.physicalAddressLength = row.PhysicalAddressLength;
  // Readers show six bytes whatever the length says, so at least six are handed on.
  const std::size_t shown =
      std::min<std::size_t>(std::max<std::size_t>(row.PhysicalAddressLength, kShownAddressBytes),
                            sizeof row.PhysicalAddress);
  entry.physicalAddress.assign(row.PhysicalAddress, row.PhysicalAddress + shown);
  entry.mtu = row.Mtu;
  entry.type = row.Type;
  entry.tunnelType = row.TunnelType;
  entry.mediaType = row.MediaType;
  entry.physicalMediumType = row.PhysicalMediumType;
  entry.accessType = row.AccessType;
  entry.directionType = row.DirectionType;
  entry.operStatus = row.OperStatus;
  entry.adminStatus = row.AdminStatus;
  entry.transmitLinkSpeed = row.TransmitLinkSpeed;
  entry.receiveLinkSpeed = row.ReceiveLinkSpeed;
  entry.inOctets = row.InOctets;
  entry.outOctets = row.OutOctets;
  return entry;
}

std::optional<std::vector<NeighbourRow>> Win32IpHelper::NeighbourTable() {
  // The table may grow between the call that sizes the buffer and the one that fills
  // it; the second then asks for more, and is asked again.
  for (int attempt = 0; attempt < kNeighbourTableTries; ++attempt) {
    ULONG size = 0;
    DWORD error = neighbourTable_(nullptr, &size, true);
    if (error == ERROR_NO_DATA) return std::vector<NeighbourRow>{};
    if (error != ERROR_INSUFFICIENT_BUFFER && error != NO_ERROR) {
      ReportSystemError("GetIpNetTable", error);
      return std::nullopt;
    }
    TableBuffer buffer(size);
    auto* table = buffer.As<MIB_IPNETTABLE>();
    error = neighbourTable_(table, &size, true);
    if (error == ERROR_INSUFFICIENT_BUFFER) continue;
    if (error == ERROR_NO_DATA) return std::vector<NeighbourRow>{};
    if (error != NO_ERROR) {
      ReportSystemError("GetIpNetTable", error);
      return std::nullopt;
    }
    std::vector<NeighbourRow> rows;
    rows.reserve(table->dwNumEntries);
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
      const MIB_IPNETROW& from = table->table[i];
      NeighbourRow row;
      row.interfaceIndex = from.dwIndex;
      row.physicalAddressLength = from.dwPhysAddrLen;
      std::copy(std::begin(from.bPhysAddr), std::end(from.bPhysAddr), row.physicalAddress.begin());
      row.address = from.dwAddr;
      row.type = from.dwType;
      rows.push_back(row);
    }
    return rows;
  }
  ReportFailure("GetIpNetTable", "the table kept growing while it was read");
  return std::nullopt;
}

bool Win32IpHelper::DeleteNeighbour(const NeighbourRow& row) {
  MIB_IPNETROW entry{};
  entry.dwIndex = row.interfaceIndex;
  entry.dwPhysAddrLen = std::min<DWORD>(row.physicalAddressLength, MAXLEN_PHYSADDR);
  std::copy(row.physicalAddress.begin(), row.physicalAddress.end(), entry.bPhysAddr);
  entry.dwAddr = row.address;
  entry.dwType = row.type;
  const DWORD error = IpHelperDll().DeleteIpNetEntry(&entry);
  // An entry that went meanwhile is gone as asked.
  if (error == NO_ERROR || error == ERROR_NOT_FOUND) return true;
  ReportSystemError("DeleteIpNetEntry", error);
  return false;
}

Win32NameLookup::Win32NameLookup()
    : Win32NameLookup([](const void* socketAddress, int socketAddressBytes, wchar_t* host,
                         unsigned long hostChars) {
        // A name is wanted, not the address again: an address without one gives nothing.
        return GetNameInfoW(static_cast<const sockaddr*>(socketAddress), socketAddressBytes, host,
                            hostChars, nullptr, 0, NI_NAMEREQD);
      }) {}

Win32NameLookup::Win32NameLookup(NameInfoCall call) : nameInfo_(std::move(call)) {}

std::string Win32NameLookup::HostNameOfAddress(std::string_view address,
                                               const std::function<bool()>& keepGoing) {
  // The parser stops at the first character it does not take, such as a zero byte, and
  // would look up the address in front of it: the whole text is checked first.
  if (address.empty() || address.find_first_not_of("0123456789.") != std::string_view::npos)
    return {};
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  if (InetPtonW(AF_INET, Wide(address).c_str(), &socketAddress.sin_addr) != 1) return {};
  static const bool winsockStarted = [] {
    WSADATA data{};
    const int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0) ReportSystemError("WSAStartup", static_cast<unsigned long>(error));
    return error == 0;
  }();
  if (!winsockStarted) return {};
  // A name server that does not answer holds GetNameInfoW for seconds, and nothing cuts
  // it short: an ended worker leaves it to finish alone.
  return CallOnOwnThread(
      "GetNameInfoW",
      [call = nameInfo_, socketAddress]() -> std::string {
        wchar_t host[NI_MAXHOST] = {};
        const int error = call(&socketAddress, sizeof socketAddress, host, NI_MAXHOST);
        if (error == 0) return Utf8(host);
        // No name, or no name server that answers, is the answer for most devices;
        // anything else is the look-up itself failing.
        if (error != WSAHOST_NOT_FOUND && error != WSATRY_AGAIN && error != WSANO_RECOVERY &&
            error != WSANO_DATA)
          ReportSystemError("GetNameInfoW", static_cast<unsigned long>(error));
        return {};
      },
      keepGoing);
}

}  // namespace lumora::platform::win32
