#include <netcon.h>

#include "platform/win32/scoped_com.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

constexpr CLSID kClsidConnectionManager = {
    0xBA126AD1, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIidINetConnectionManager = {
    0xC08956A2, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

// The properties block GetProperties hands out. netshell.dll's own free function is
// preferred; where netshell is missing, the block is freed the way it was allocated.
class ConnectionProperties {
 public:
  explicit ConnectionProperties(const ScopedModule& netshell)
      : free_(netshell.Find<void WINAPI(NETCON_PROPERTIES*)>("NcFreeNetconProperties")) {}
  ~ConnectionProperties() { Reset(); }
  ConnectionProperties(const ConnectionProperties&) = delete;
  ConnectionProperties& operator=(const ConnectionProperties&) = delete;

  NETCON_PROPERTIES* Get() const { return properties_; }
  NETCON_PROPERTIES** Put() {
    Reset();
    return &properties_;
  }
  void Reset() {
    if (!properties_) return;
    if (free_) {
      free_(properties_);
    } else {
      CoTaskMemFree(properties_->pszwName);
      CoTaskMemFree(properties_->pszwDeviceName);
      CoTaskMemFree(properties_);
    }
    properties_ = nullptr;
  }

 private:
  void(WINAPI* free_)(NETCON_PROPERTIES*);
  NETCON_PROPERTIES* properties_ = nullptr;
};

class ManagerItem final : public ManagedConnection {
 public:
  ManagerItem(INetConnection& connection, const NETCON_PROPERTIES* properties)
      : connection_(connection) {
    if (!properties) return;
    if (properties->pszwName) name_ = Utf8(properties->pszwName);
    status_ = static_cast<int>(properties->Status);
  }

  std::string Name() override { return name_; }
  int Status() override { return status_; }
  void Connect() override { connection_.Connect(); }

 private:
  INetConnection& connection_;
  std::string name_;
  int status_ = 0;
};

}  // namespace

bool Win32ConnectionManager::WalkConnections(const std::function<bool(ManagedConnection&)>& visit) {
  const ComScope com;
  const ScopedModule netshell(L"netshell.dll");
  ComPtr<INetConnectionManager> manager;
  const HRESULT created = CoCreateInstance(kClsidConnectionManager, nullptr, CLSCTX_ALL,
                                           kIidINetConnectionManager, manager.PutVoid());
  if (FAILED(created) || !manager) {
    ReportComError("the connection manager", created);
    return false;
  }
  ComPtr<IEnumNetConnection> connections;
  // A manager that cannot list its connections is a manager with none.
  if (const HRESULT listed = manager->EnumConnections(NCME_DEFAULT, connections.Put());
      FAILED(listed) || !connections) {
    ReportComError("EnumConnections", listed);
    return true;
  }
  for (;;) {
    ComPtr<INetConnection> connection;
    ULONG fetched = 0;
    if (connections->Next(1, connection.Put(), &fetched) != S_OK || fetched != 1 || !connection)
      break;
    ConnectionProperties properties(netshell);
    const bool known = SUCCEEDED(connection->GetProperties(properties.Put()));
    ManagerItem item(*connection.Get(), known ? properties.Get() : nullptr);
    if (!visit(item)) break;
  }
  return true;
}

}  // namespace lumora::platform::win32
