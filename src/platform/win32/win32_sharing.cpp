#include "platform/win32/win32_sharing.h"

#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

// The identifiers are written out here, as the interfaces are documented, rather than
// taken from a GUID library that not every toolchain ships in full.
constexpr IID kIidINetSharingManager = {
    0xC08956B7, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIidINetConnection = {
    0xC08956A1, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIidIEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

ComPtr<INetSharingManager> CreateSharingManager(const wchar_t* progId) {
  ComPtr<INetSharingManager> manager;
  CLSID clsid{};
  HRESULT result = CLSIDFromProgID(progId, &clsid);
  if (SUCCEEDED(result))
    result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, kIidINetSharingManager,
                              manager.PutVoid());
  if (FAILED(result)) {
    ReportComError("the sharing manager", result);
    manager.Reset();
  }
  return manager;
}

// The collections hand out their items as variants holding the connection object.
ComPtr<INetConnection> ConnectionOf(const VARIANT& item) {
  IUnknown* object = nullptr;
  if (item.vt == VT_UNKNOWN) object = item.punkVal;
  if (item.vt == VT_DISPATCH) object = item.pdispVal;
  ComPtr<INetConnection> connection;
  const HRESULT asked =
      object ? object->QueryInterface(kIidINetConnection, connection.PutVoid()) : E_NOINTERFACE;
  if (FAILED(asked)) {
    connection.Reset();
    ReportComError("the sharing collection's item as INetConnection", asked);
  }
  return connection;
}

// The walk over a sharing collection: its _NewEnum, Reset, then one item per Next while
// Next answers S_OK with one item fetched. False (reported) when the walk cannot start.
template <typename Collection, typename Visit>
bool WalkCollection(Collection* collection, Visit&& visit) {
  ComPtr<IUnknown> newEnum;
  const HRESULT listed = collection->get__NewEnum(newEnum.Put());
  if (FAILED(listed) || !newEnum) {
    ReportComError("the sharing collection's _NewEnum", FAILED(listed) ? listed : E_POINTER);
    return false;
  }
  ComPtr<IEnumVARIANT> items = newEnum.template As<IEnumVARIANT>(kIidIEnumVariant);
  if (!items) {
    ReportComError("the sharing collection's IEnumVARIANT", E_NOINTERFACE);
    return false;
  }
  items->Reset();
  for (;;) {
    ScopedVariant item;
    ULONG fetched = 0;
    if (items->Next(1, item.Put(), &fetched) != S_OK || fetched != 1) break;
    if (!visit(ConnectionOf(item.Get()))) break;
  }
  return true;
}

// The connection's item of the walk, with what the sharing object gives for it.
SharingItem ItemOf(INetSharingManager& manager, INetConnection* connection) {
  ComPtr<INetConnectionProps> props;
  ComPtr<INetSharingConfiguration> config;
  HRESULT configRefusal = E_POINTER;
  if (connection) {
    const HRESULT named = manager.get_NetConnectionProps(connection, props.Put());
    if (FAILED(named)) {
      props.Reset();
      ReportComError("NetConnectionProps", named);
    }
    configRefusal = manager.get_INetSharingConfigurationForINetConnection(connection, config.Put());
    if (FAILED(configRefusal)) config.Reset();
    if (SUCCEEDED(configRefusal) && !config) configRefusal = E_POINTER;
  }
  return SharingItem(std::move(props), std::move(config), configRefusal);
}

}  // namespace

SharingItem::SharingItem(ComPtr<INetConnectionProps> props, ComPtr<INetSharingConfiguration> config,
                         HRESULT configRefusal)
    : props_(std::move(props)), config_(std::move(config)), configRefusal_(configRefusal) {}

std::string SharingItem::Name() {
  ScopedBstr name;
  if (!props_ || FAILED(props_->get_Name(name.Put()))) return {};
  return name.ToUtf8();
}

int SharingItem::Status() {
  NETCON_STATUS status = NCS_DISCONNECTED;
  if (!props_ || FAILED(props_->get_Status(&status))) return 0;
  return static_cast<int>(status);
}

INetSharingConfiguration* SharingItem::ConfigFor(std::string_view call) {
  if (!config_) {
    ReportComError(std::string(call) + " " + Name() + ", INetSharingConfigurationForINetConnection",
                   configRefusal_);
  }
  return config_.Get();
}

// A switch the system refuses is what tells a user why sharing did not come up, so each
// one is reported with the connection it was meant for.
bool SharingItem::DisableSharing() {
  constexpr std::string_view kCall = "DisableSharing";
  INetSharingConfiguration* config = ConfigFor(kCall);
  if (!config) return false;
  const HRESULT result = config->DisableSharing();
  if (FAILED(result)) ReportComError(std::string(kCall) + " " + Name(), result);
  return SUCCEEDED(result);
}

bool SharingItem::EnableSharing(SharingType type) {
  const std::string call =
      std::string("EnableSharing(") + (type == SharingType::Public ? "public" : "private") + ")";
  INetSharingConfiguration* config = ConfigFor(call);
  if (!config) return false;
  const HRESULT result = config->EnableSharing(static_cast<SHARINGCONNECTIONTYPE>(type));
  if (FAILED(result)) ReportComError(call + " " + Name(), result);
  return SUCCEEDED(result);
}

bool SharingItem::SharingEnabled() {
  VARIANT_BOOL enabled = VARIANT_FALSE;
  return config_ && SUCCEEDED(config_->get_SharingEnabled(&enabled)) && enabled != VARIANT_FALSE;
}

bool Win32Sharing::WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) {
  const ComScope com;
  ComPtr<INetSharingManager> manager = CreateSharingManager(L"HNetCfg.HNetShare");
  if (!manager) return false;
  ComPtr<INetSharingEveryConnectionCollection> collection;
  const HRESULT listed = manager->get_EnumEveryConnection(collection.Put());
  if (FAILED(listed) || !collection) {
    ReportComError("EnumEveryConnection", FAILED(listed) ? listed : E_POINTER);
    return false;
  }
  return WalkCollection(collection.Get(), [&](ComPtr<INetConnection> connection) {
    SharingItem item = ItemOf(*manager.Get(), connection.Get());
    return visit(item);
  });
}

std::vector<PublicConnection> Win32Sharing::PublicConnections() {
  const ComScope com;
  std::vector<PublicConnection> connections;
  ComPtr<INetSharingManager> manager = CreateSharingManager(L"HNetCfg.HNetShare.1");
  if (!manager) return connections;
  ComPtr<INetSharingPublicConnectionCollection> collection;
  const HRESULT listed = manager->get_EnumPublicConnections(ICSSC_DEFAULT, collection.Put());
  if (FAILED(listed) || !collection) {
    ReportComError("EnumPublicConnections", FAILED(listed) ? listed : E_POINTER);
    return connections;
  }
  WalkCollection(collection.Get(), [&](ComPtr<INetConnection> connection) {
    SharingItem item = ItemOf(*manager.Get(), connection.Get());
    connections.push_back({item.Name(), item.SharingEnabled()});
    return true;
  });
  return connections;
}

}  // namespace lumora::platform::win32
