#pragma once
// The few Windows Runtime interfaces of the mobile hotspot that the program calls, which
// the compiler's headers lack. Each is a table of function pointers in its vtable's
// order: the three slots of IUnknown, the three of IInspectable, then the interface's
// own. A slot the program does not call is a placeholder (void*) so that the later ones
// keep their places; slots after the last one called are left out.
//
// Where the identifiers are published: Microsoft's reference of the Windows Runtime API
// (learn.microsoft.com/uwp/api, namespaces Windows.Foundation, Windows.Networking,
// Windows.Networking.Connectivity and Windows.Networking.NetworkOperators) gives each
// interface's GuidAttribute; the Windows SDK publishes the same identifiers and vtable
// orders in its headers windows.foundation.h, windows.networking.h,
// windows.networking.connectivity.h and windows.networking.networkoperators.h (from the
// metadata Windows.Foundation.UniversalApiContract.winmd).

#include <windows.h>
#include <winstring.h>

namespace lumora::platform::win32::winrt {

// IUnknown's and IInspectable's slots, first in every table below.
struct InspectableSlots {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(void* self, REFIID iid, void** object);
  ULONG(STDMETHODCALLTYPE* AddRef)(void* self);
  ULONG(STDMETHODCALLTYPE* Release)(void* self);
  void* GetIids;
  void* GetRuntimeClassName;
  void* GetTrustLevel;
};

// An interface pointer: the object starts with its vtable. Release and QueryInterface
// are what ComPtr needs.
template <typename Slots>
struct Interface {
  const Slots* slots;

  HRESULT QueryInterface(REFIID iid, void** object) {
    return slots->inspectable.QueryInterface(this, iid, object);
  }
  ULONG Release() { return slots->inspectable.Release(this); }
};

// ---- Windows.Foundation (windows.foundation.h, asyncinfo.h) ----

// AsyncStatus.
enum class AsyncStatus : int { Started = 0, Completed = 1, Canceled = 2, Error = 3 };

// IAsyncInfo {00000036-0000-0000-C000-000000000046}.
struct AsyncInfoSlots {
  InspectableSlots inspectable;
  void* get_Id;
  HRESULT(STDMETHODCALLTYPE* get_Status)(void* self, AsyncStatus* status);
  HRESULT(STDMETHODCALLTYPE* get_ErrorCode)(void* self, HRESULT* errorCode);
  HRESULT(STDMETHODCALLTYPE* Cancel)(void* self);
  HRESULT(STDMETHODCALLTYPE* Close)(void* self);
};
using IAsyncInfo = Interface<AsyncInfoSlots>;
inline constexpr GUID kIidAsyncInfo = {
    0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// IAsyncAction {5A648006-843A-4DA9-865B-9D26E5DFAD7B}; GetResults answers the
// action's outcome.
struct AsyncActionSlots {
  InspectableSlots inspectable;
  void* put_Completed;
  void* get_Completed;
  HRESULT(STDMETHODCALLTYPE* GetResults)(void* self);
};
using IAsyncAction = Interface<AsyncActionSlots>;

// ---- Windows.Networking (windows.networking.h) ----

// IHostName {BF8ECAAD-ED96-49A7-9084-D416CAE88DCB}.
struct HostNameSlots {
  InspectableSlots inspectable;
  void* get_IPInformation;
  void* get_RawName;
  HRESULT(STDMETHODCALLTYPE* get_DisplayName)(void* self, HSTRING* value);
};
using IHostName = Interface<HostNameSlots>;

// IVectorView<T> for an interface T: the instantiations the program uses are
// IVectorView<ConnectionProfile>, IVectorView<HostName> and
// IVectorView<NetworkOperatorTetheringClient>; each is handed out already as that
// interface, so none is asked for by its identifier.
template <typename Item>
struct VectorViewSlots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* GetAt)(void* self, UINT32 index, Item** item);
  HRESULT(STDMETHODCALLTYPE* get_Size)(void* self, UINT32* size);
};
template <typename Item>
using IVectorView = Interface<VectorViewSlots<Item>>;

// ---- Windows.Networking.Connectivity (windows.networking.connectivity.h) ----

// INetworkAdapter {3B542E03-5388-496C-A8A3-AFFD39AEC2E6}.
struct NetworkAdapterSlots {
  InspectableSlots inspectable;
  void* get_OutboundMaxBitsPerSecond;
  void* get_InboundMaxBitsPerSecond;
  void* get_IanaInterfaceType;
  void* get_NetworkItem;
  HRESULT(STDMETHODCALLTYPE* get_NetworkAdapterId)(void* self, GUID* value);
};
using INetworkAdapter = Interface<NetworkAdapterSlots>;

// NetworkConnectivityLevel.
enum class NetworkConnectivityLevel : int {
  None = 0,
  LocalAccess = 1,
  ConstrainedInternetAccess = 2,
  InternetAccess = 3
};

// IConnectionProfile {71BA143C-598E-49D0-84EB-8FEBAEDCC195}.
struct ConnectionProfileSlots {
  InspectableSlots inspectable;
  void* get_ProfileName;
  HRESULT(STDMETHODCALLTYPE* GetNetworkConnectivityLevel)
  (void* self, NetworkConnectivityLevel* value);
  void* GetNetworkNames;
  void* GetConnectionCost;
  void* GetDataPlanStatus;
  HRESULT(STDMETHODCALLTYPE* get_NetworkAdapter)(void* self, INetworkAdapter** value);
};
using IConnectionProfile = Interface<ConnectionProfileSlots>;

// INetworkInformationStatics {5074F851-950D-4165-9C15-365619481EEA}, the statics of
// the class Windows.Networking.Connectivity.NetworkInformation.
struct NetworkInformationStaticsSlots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* GetConnectionProfiles)
  (void* self, IVectorView<IConnectionProfile>** value);
  HRESULT(STDMETHODCALLTYPE* GetInternetConnectionProfile)(void* self, IConnectionProfile** value);
};
using INetworkInformationStatics = Interface<NetworkInformationStaticsSlots>;
inline constexpr GUID kIidNetworkInformationStatics = {
    0x5074f851, 0x950d, 0x4165, {0x9c, 0x15, 0x36, 0x56, 0x19, 0x48, 0x1e, 0xea}};
inline constexpr wchar_t kNetworkInformationClass[] =
    L"Windows.Networking.Connectivity.NetworkInformation";

// ---- Windows.Networking.NetworkOperators (windows.networking.networkoperators.h) ----

// INetworkOperatorTetheringAccessPointConfiguration
// {0BCC0284-412E-403D-ACC6-B757E34774A4}.
struct AccessPointConfigurationSlots {
  InspectableSlots inspectable;
  void* get_Ssid;
  HRESULT(STDMETHODCALLTYPE* put_Ssid)(void* self, HSTRING value);
  void* get_Passphrase;
  HRESULT(STDMETHODCALLTYPE* put_Passphrase)(void* self, HSTRING value);
};
using IAccessPointConfiguration = Interface<AccessPointConfigurationSlots>;

// INetworkOperatorTetheringOperationResult {EBD203A1-01BA-476D-B4B3-BF3D12C8F80C}.
struct TetheringOperationResultSlots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* get_Status)(void* self, int* value);
  HRESULT(STDMETHODCALLTYPE* get_AdditionalErrorMessage)(void* self, HSTRING* value);
};
using ITetheringOperationResult = Interface<TetheringOperationResultSlots>;

// IAsyncOperation<NetworkOperatorTetheringOperationResult>, handed out by the start and
// the stop as that interface.
struct TetheringOperationSlots {
  InspectableSlots inspectable;
  void* put_Completed;
  void* get_Completed;
  HRESULT(STDMETHODCALLTYPE* GetResults)(void* self, ITetheringOperationResult** results);
};
using ITetheringOperation = Interface<TetheringOperationSlots>;

// INetworkOperatorTetheringManager {D45A8DA0-0E86-4D98-8BA4-DD70D4B764D3}.
struct TetheringManagerSlots {
  InspectableSlots inspectable;
  void* get_MaxClientCount;
  void* get_ClientCount;
  HRESULT(STDMETHODCALLTYPE* get_TetheringOperationalState)(void* self, int* value);
  HRESULT(STDMETHODCALLTYPE* GetCurrentAccessPointConfiguration)
  (void* self, IAccessPointConfiguration** configuration);
  HRESULT(STDMETHODCALLTYPE* ConfigureAccessPointAsync)
  (void* self, IAccessPointConfiguration* configuration, IAsyncAction** action);
  HRESULT(STDMETHODCALLTYPE* StartTetheringAsync)(void* self, ITetheringOperation** operation);
  HRESULT(STDMETHODCALLTYPE* StopTetheringAsync)(void* self, ITetheringOperation** operation);
};
using ITetheringManager = Interface<TetheringManagerSlots>;

// INetworkOperatorTetheringClient {709D254C-595F-4847-BB30-646935542918}.
struct TetheringClientSlots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* get_MacAddress)(void* self, HSTRING* value);
  HRESULT(STDMETHODCALLTYPE* get_HostNames)(void* self, IVectorView<IHostName>** value);
};
using ITetheringClient = Interface<TetheringClientSlots>;

// INetworkOperatorTetheringClientManager {91B14016-8DCA-4225-BBED-EEF8B8D718D7}, also
// implemented by the tethering manager (Windows 10 1607 on).
struct TetheringClientManagerSlots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* GetTetheringClients)
  (void* self, IVectorView<ITetheringClient>** value);
};
using ITetheringClientManager = Interface<TetheringClientManagerSlots>;
inline constexpr GUID kIidTetheringClientManager = {
    0x91b14016, 0x8dca, 0x4225, {0xbb, 0xed, 0xee, 0xf8, 0xb8, 0xd7, 0x18, 0xd7}};

// INetworkOperatorTetheringManagerStatics2 {5B235412-35F0-49E7-9B08-16D278FBAA42}:
// the manager of a connection profile. (Statics3 only adds the overload with a target
// adapter, which the program does not use.)
struct TetheringManagerStatics2Slots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* GetTetheringCapabilityFromConnectionProfile)
  (void* self, IConnectionProfile* profile, int* capability);
  HRESULT(STDMETHODCALLTYPE* CreateFromConnectionProfile)
  (void* self, IConnectionProfile* profile, ITetheringManager** manager);
};
using ITetheringManagerStatics2 = Interface<TetheringManagerStatics2Slots>;
inline constexpr GUID kIidTetheringManagerStatics2 = {
    0x5b235412, 0x35f0, 0x49e7, {0x9b, 0x08, 0x16, 0xd2, 0x78, 0xfb, 0xaa, 0x42}};

// INetworkOperatorTetheringManagerStatics4 {B3B9F9D0-EBFF-46A4-A847-D663D8B0977E}:
// the no-connections timeout (Windows 10 2004 on).
struct TetheringManagerStatics4Slots {
  InspectableSlots inspectable;
  HRESULT(STDMETHODCALLTYPE* IsNoConnectionsTimeoutEnabled)(void* self, boolean* enabled);
  HRESULT(STDMETHODCALLTYPE* EnableNoConnectionsTimeout)(void* self);
  void* EnableNoConnectionsTimeoutAsync;
  HRESULT(STDMETHODCALLTYPE* DisableNoConnectionsTimeout)(void* self);
};
using ITetheringManagerStatics4 = Interface<TetheringManagerStatics4Slots>;
inline constexpr GUID kIidTetheringManagerStatics4 = {
    0xb3b9f9d0, 0xebff, 0x46a4, {0xa8, 0x47, 0xd6, 0x63, 0xd8, 0xb0, 0x97, 0x7e}};

inline constexpr wchar_t kTetheringManagerClass[] =
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager";

}  // namespace lumora::platform::win32::winrt
