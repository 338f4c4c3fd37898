#include <cstdint>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

// The manager and one of its services, both with full access, for one call.
class ServiceAccess {
 public:
  explicit ServiceAccess(std::string_view name)
      : manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)),
        service_(manager_ ? OpenServiceW(manager_.Get(), Wide(name).c_str(), SERVICE_ALL_ACCESS)
                          : nullptr) {
    if (!service_) ReportSystemError(manager_ ? "OpenService" : "OpenSCManager", GetLastError());
  }

  SC_HANDLE Get() const { return service_.Get(); }
  explicit operator bool() const { return static_cast<bool>(service_); }

 private:
  ScopedServiceHandle manager_;
  ScopedServiceHandle service_;
};

}  // namespace

std::uint32_t Win32Services::StartType(std::string_view service) {
  const ServiceAccess opened(service);
  if (!opened) return 0;
  DWORD needed = 0;
  if (QueryServiceConfigW(opened.Get(), nullptr, 0, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return 0;
  }
  // Aligned for the structure at its start; the strings follow in the same block.
  std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1, 0);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  if (!QueryServiceConfigW(opened.Get(), config,
                           static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)), &needed)) {
    return 0;
  }
  return config->dwStartType;
}

bool Win32Services::SetStartType(std::string_view service, std::uint32_t startType) {
  const ServiceAccess opened(service);
  if (!opened) return false;
  if (ChangeServiceConfigW(opened.Get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
    return true;
  ReportSystemError("ChangeServiceConfig", GetLastError());
  return false;
}

std::uint32_t Win32Services::CurrentState(std::string_view service) {
  const ServiceAccess opened(service);
  SERVICE_STATUS status{};
  if (!opened || !QueryServiceStatus(opened.Get(), &status)) return 0;
  return status.dwCurrentState;
}

bool Win32Services::Start(std::string_view service) {
  const ServiceAccess opened(service);
  if (!opened) return false;
  if (StartServiceW(opened.Get(), 0, nullptr)) return true;
  // One that runs already needs no start; the caller sees it is not started by us.
  if (const DWORD error = GetLastError(); error != ERROR_SERVICE_ALREADY_RUNNING)
    ReportSystemError("StartService", error);
  return false;
}

}  // namespace lumora::platform::win32
