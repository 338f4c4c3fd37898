#include <netcon.h>

#include "platform/win32/scoped_com.h"
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
  if (object && FAILED(object->QueryInterface(kIidINetConnection, connection.PutVoid())))
    connection.Reset();
  return connection;
}

// The walk over a sharing collection: its _NewEnum, Reset, then one item per Next while
// Next answers S_OK with one item fetched. False when the walk cannot start.
template <typename Collection, typename Visit>
bool WalkCollection(Collection* collection, Visit&& visit) {
  ComPtr<IUnknown> newEnum;
  if (!collection || FAILED(collection->get__NewEnum(newEnum.Put())) || !newEnum) return false;
  ComPtr<IEnumVARIANT> items = newEnum.template As<IEnumVARIANT>(kIidIEnumVariant);
  if (!items) return false;
  items->Reset();
  for (;;) {
    ScopedVariant item;
    ULONG fetched = 0;
    if (items->Next(1, item.Put(), &fetched) != S_OK || fetched != 1) break;
    if (!visit(ConnectionOf(item.Get()))) break;
  }
  return true;
}

// One connection of the walk: its properties and its sharing configuration, either of
// which may be missing when the sharing object refused it.
class SharingItem final : public SharedConnection {
 public:
  SharingItem(INetSharingManager& manager, INetConnection* connection) {
    if (!connection) return;
    if (FAILED(manager.get_NetConnectionProps(connection, props_.Put()))) props_.Reset();
    if (FAILED(manager.get_INetSharingConfigurationForINetConnection(connection, config_.Put()))) {
      config_.Reset();
    }
  }

  std::string Name() override {
    ScopedBstr name;
    if (!props_ || FAILED(props_->get_Name(name.Put()))) return {};
    return name.ToUtf8();
  }
  int Status() override {
    NETCON_STATUS status = NCS_DISCONNECTED;
    if (!props_ || FAILED(props_->get_Status(&status))) return 0;
    return static_cast<int>(status);
  }
  bool DisableSharing() override { return config_ && SUCCEEDED(config_->DisableSharing()); }
  bool EnableSharing(SharingType type) override {
    return config_ && SUCCEEDED(config_->EnableSharing(static_cast<SHARINGCONNECTIONTYPE>(type)));
  }
  bool SharingEnabled() {
    VARIANT_BOOL enabled = VARIANT_FALSE;
    return config_ && SUCCEEDED(config_->get_SharingEnabled(&enabled)) && enabled != VARIANT_FALSE;
  }

 private:
  ComPtr<INetConnectionProps> props_;
  ComPtr<INetSharingConfiguration> config_;
};

}  // namespace

bool Win32Sharing::WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) {
  const ComScope com;
  ComPtr<INetSharingManager> manager = CreateSharingManager(L"HNetCfg.HNetShare");
  if (!manager) return false;
  ComPtr<INetSharingEveryConnectionCollection> collection;
  if (FAILED(manager->get_EnumEveryConnection(collection.Put()))) return false;
  return WalkCollection(collection.Get(), [&](ComPtr<INetConnection> connection) {
    SharingItem item(*manager.Get(), connection.Get());
    return visit(item);
  });
}

std::vector<PublicConnection> Win32Sharing::PublicConnections() {
  const ComScope com;
  std::vector<PublicConnection> connections;
  ComPtr<INetSharingManager> manager = CreateSharingManager(L"HNetCfg.HNetShare.1");
  if (!manager) return connections;
  ComPtr<INetSharingPublicConnectionCollection> collection;
  if (FAILED(manager->get_EnumPublicConnections(ICSSC_DEFAULT, collection.Put())))
    return connections;
  WalkCollection(collection.Get(), [&](ComPtr<INetConnection> connection) {
    SharingItem item(*manager.Get(), connection.Get());
    connections.push_back({item.Name(), item.SharingEnabled()});
    return true;
  });
  return connections;
}

}  // namespace lumora::platform::win32
