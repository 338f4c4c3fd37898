#include <wbemcli.h>

#include <cstdint>
#include <mutex>

#include "platform/win32/scoped_com.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

constexpr CLSID kClsidWbemLocator = {
    0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kIidIWbemLocator = {
    0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// COM security can be set once per process, before the first proxy is made; a process
// in which something else was first answers RPC_E_TOO_LATE, and its settings stand.
void SetProcessSecurityOnce() {
  static std::once_flag done;
  std::call_once(done, [] {
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  });
}

// WMI hands unsigned 32-bit properties over in a signed VT_I4; the CIM type tells them
// apart. 64-bit integers already come as decimal strings.
std::optional<std::string> PropertyText(const VARIANT& value, CIMTYPE type) {
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return std::string();
    case VT_BSTR:
      return ScopedBstr::BstrUtf8(value.bstrVal);
    case VT_BOOL:
      return std::string(value.boolVal != VARIANT_FALSE ? "1" : "0");
    case VT_I1:
      return std::to_string(static_cast<signed char>(value.cVal));
    case VT_UI1:
      return std::to_string(value.bVal);
    case VT_I2:
      return std::to_string(value.iVal);
    case VT_UI2:
      return std::to_string(value.uiVal);
    case VT_I4:
      if ((type & ~CIM_FLAG_ARRAY) == CIM_UINT32)
        return std::to_string(static_cast<std::uint32_t>(value.lVal));
      return std::to_string(value.lVal);
    case VT_UI4:
      return std::to_string(value.ulVal);
    case VT_INT:
      return std::to_string(value.intVal);
    case VT_UINT:
      return std::to_string(value.uintVal);
    case VT_I8:
      return std::to_string(value.llVal);
    case VT_UI8:
      return std::to_string(value.ullVal);
    default:
      break;
  }
  if (value.vt & VT_ARRAY) return std::nullopt;
  ScopedVariant converted;
  if (FAILED(VariantChangeTypeEx(converted.Put(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0,
                                 VT_BSTR)) ||
      converted.Get().vt != VT_BSTR) {
    return std::nullopt;
  }
  return ScopedBstr::BstrUtf8(converted.Get().bstrVal);
}

WmiObject ObjectProperties(IWbemClassObject& object) {
  WmiObject properties;
  if (FAILED(object.BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) return properties;
  for (;;) {
    ScopedBstr name;
    ScopedVariant value;
    CIMTYPE type = CIM_EMPTY;
    if (object.Next(0, name.Put(), value.Put(), &type, nullptr) != WBEM_S_NO_ERROR) break;
    if (std::optional<std::string> text = PropertyText(value.Get(), type))
      properties[name.ToUtf8()] = std::move(*text);
  }
  object.EndEnumeration();
  return properties;
}

}  // namespace

std::optional<std::vector<WmiObject>> Win32Wmi::Query(std::string_view wmiNamespace,
                                                      std::string_view wql, int maxObjects) {
  const ComScope com;
  SetProcessSecurityOnce();
  ComPtr<IWbemLocator> locator;
  HRESULT result = CoCreateInstance(kClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    kIidIWbemLocator, locator.PutVoid());
  if (FAILED(result) || !locator) {
    ReportComError("WMI locator", result);
    return std::nullopt;
  }
  const ScopedBstr resource(Wide(wmiNamespace));
  ComPtr<IWbemServices> services;
  result = locator->ConnectServer(resource.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                  services.Put());
  if (FAILED(result) || !services) {
    ReportComError("WMI ConnectServer", result);
    return std::nullopt;
  }
  result = CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                             RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                             EOAC_NONE);
  if (FAILED(result)) {
    ReportComError("WMI CoSetProxyBlanket", result);
    return std::nullopt;
  }
  const ScopedBstr language(L"WQL");
  const ScopedBstr query(Wide(wql));
  ComPtr<IEnumWbemClassObject> results;
  result = services->ExecQuery(language.Get(), query.Get(),
                               WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                               results.Put());
  if (FAILED(result) || !results) {
    ReportComError("WMI ExecQuery", result);
    return std::nullopt;
  }
  // With an immediate return, a query WMI cannot answer fails at the first Next: the
  // query ran and found nothing.
  std::vector<WmiObject> objects;
  while (static_cast<int>(objects.size()) < maxObjects) {
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    if (FAILED(results->Next(WBEM_INFINITE, 1, object.Put(), &returned)) || returned != 1 ||
        !object) {
      break;
    }
    objects.push_back(ObjectProperties(*object.Get()));
  }
  return objects;
}

}  // namespace lumora::platform::win32
