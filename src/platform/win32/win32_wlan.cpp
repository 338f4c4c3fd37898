#include <windows.h>
// After <windows.h>, in whose terms it is declared.
#include <wlanapi.h>

#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

// wlanapi.dll is loaded at run time, so that the program also starts on a system
// without the WLAN service's client library.
class WlanApi {
 public:
  WlanApi()
      : module_(L"wlanapi.dll"),
        open_(module_.Find<decltype(WlanOpenHandle)>("WlanOpenHandle")),
        enumerate_(module_.Find<decltype(WlanEnumInterfaces)>("WlanEnumInterfaces")),
        free_(module_.Find<decltype(WlanFreeMemory)>("WlanFreeMemory")),
        close_(module_.Find<decltype(WlanCloseHandle)>("WlanCloseHandle")) {}

  bool Loaded() const { return open_ && enumerate_ && free_ && close_; }

  decltype(WlanOpenHandle)* Open() const { return open_; }
  decltype(WlanEnumInterfaces)* Enumerate() const { return enumerate_; }
  decltype(WlanFreeMemory)* Free() const { return free_; }
  decltype(WlanCloseHandle)* Close() const { return close_; }

 private:
  ScopedModule module_;
  decltype(WlanOpenHandle)* open_;
  decltype(WlanEnumInterfaces)* enumerate_;
  decltype(WlanFreeMemory)* free_;
  decltype(WlanCloseHandle)* close_;
};

class WlanClient {
 public:
  WlanClient(const WlanApi& api, DWORD clientVersion) : api_(api) {
    DWORD negotiated = 0;
    if (api_.Open()(clientVersion, nullptr, &negotiated, &handle_) != ERROR_SUCCESS)
      handle_ = nullptr;
  }
  ~WlanClient() {
    if (handle_) api_.Close()(handle_, nullptr);
  }
  WlanClient(const WlanClient&) = delete;
  WlanClient& operator=(const WlanClient&) = delete;

  HANDLE Get() const { return handle_; }

 private:
  const WlanApi& api_;
  HANDLE handle_ = nullptr;
};

class InterfaceList {
 public:
  explicit InterfaceList(const WlanApi& api) : api_(api) {}
  ~InterfaceList() {
    if (list_) api_.Free()(list_);
  }
  InterfaceList(const InterfaceList&) = delete;
  InterfaceList& operator=(const InterfaceList&) = delete;

  const WLAN_INTERFACE_INFO_LIST* Get() const { return list_; }
  PWLAN_INTERFACE_INFO_LIST* Put() { return &list_; }

 private:
  const WlanApi& api_;
  PWLAN_INTERFACE_INFO_LIST list_ = nullptr;
};

}  // namespace

std::optional<int> Win32Wlan::CountInterfaces(int clientVersion) {
  const WlanApi api;
  if (!api.Loaded()) return std::nullopt;
  const WlanClient client(api, static_cast<DWORD>(clientVersion));
  if (!client.Get()) return std::nullopt;
  InterfaceList list(api);
  if (api.Enumerate()(client.Get(), nullptr, list.Put()) != ERROR_SUCCESS || !list.Get()) return 0;
  return static_cast<int>(list.Get()->dwNumberOfItems);
}

}  // namespace lumora::platform::win32
