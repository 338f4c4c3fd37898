// The mobile hotspot through the Windows Runtime, loaded at run time so that the
// program starts on Windows 7 and under Wine, which have no tethering manager.
#include <windows.h>

#include <roapi.h>
#include <winstring.h>

#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

using RoGetActivationFactoryFn = HRESULT(WINAPI*)(HSTRING, REFIID, void**);
using WindowsCreateStringFn = HRESULT(WINAPI*)(PCWSTR, UINT32, HSTRING*);
using WindowsDeleteStringFn = HRESULT(WINAPI*)(HSTRING);

// INetworkOperatorTetheringManagerStatics2, documented with
// Windows.Networking.NetworkOperators (learn.microsoft.com/uwp/api) and published in the
// Windows SDK's windows.networking.networkoperators.h.
constexpr GUID kTetheringManagerStatics2 = {
    0x5b235412, 0x35f0, 0x49e7, {0x9b, 0x08, 0x16, 0xd2, 0x78, 0xfb, 0xaa, 0x42}};
constexpr wchar_t kTetheringManagerClass[] =
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager";

// Whether the system has the tethering manager's class.
bool TetheringManagerExists() {
  HMODULE combase = LoadLibraryW(L"combase.dll");
  if (!combase) return false;
  auto getFactory = reinterpret_cast<RoGetActivationFactoryFn>(
      reinterpret_cast<void*>(GetProcAddress(combase, "RoGetActivationFactory")));
  auto createString = reinterpret_cast<WindowsCreateStringFn>(
      reinterpret_cast<void*>(GetProcAddress(combase, "WindowsCreateString")));
  auto deleteString = reinterpret_cast<WindowsDeleteStringFn>(
      reinterpret_cast<void*>(GetProcAddress(combase, "WindowsDeleteString")));
  bool exists = false;
  HSTRING name = nullptr;
  if (getFactory && createString && deleteString &&
      SUCCEEDED(createString(kTetheringManagerClass,
                             static_cast<UINT32>(wcslen(kTetheringManagerClass)), &name))) {
    IUnknown* factory = nullptr;
    exists = SUCCEEDED(getFactory(name, kTetheringManagerStatics2,
                                  reinterpret_cast<void**>(&factory))) &&
             factory;
    if (factory) factory->Release();
    deleteString(name);
  }
  FreeLibrary(combase);
  return exists;
}

}  // namespace

std::optional<int> Win32MobileHotspot::Capability(std::string_view) {
  if (!TetheringManagerExists()) return std::nullopt;
  // The calls through the tethering manager's interfaces are not made yet: a system
  // that has it is answered as one without, so the hosted path stays in use.
  return std::nullopt;
}

bool Win32MobileHotspot::Configure(std::string_view, std::string_view, std::string_view,
                                   const AsyncWait&) {
  return false;
}

TetheringResult Win32MobileHotspot::Start(std::string_view, const AsyncWait&) { return {}; }

TetheringResult Win32MobileHotspot::Stop(std::string_view, const AsyncWait&) { return {}; }

std::optional<int> Win32MobileHotspot::State(std::string_view) { return std::nullopt; }

std::optional<std::uint32_t> Win32MobileHotspot::ClientCount(std::string_view) {
  return std::nullopt;
}

std::optional<std::vector<TetheringClient>> Win32MobileHotspot::Clients(std::string_view) {
  return std::nullopt;
}

std::optional<bool> Win32MobileHotspot::NoConnectionsTimeoutEnabled() { return std::nullopt; }

bool Win32MobileHotspot::SetNoConnectionsTimeoutEnabled(bool) { return false; }

}  // namespace lumora::platform::win32
