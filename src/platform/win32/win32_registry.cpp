#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  HKEY Get() const { return key_; }
  HKEY* Put() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::string> Win32Registry::ReadMachineString(std::string_view keyPath,
                                                            std::string_view valueName) {
  ScopedKey key;
  // The 64-bit view: the program is a 64-bit one, but the keys it reads are the
  // system's own whatever it was built as.
  if (const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(keyPath).c_str(), 0,
                                           KEY_READ | KEY_WOW64_64KEY, key.Put());
      opened != ERROR_SUCCESS) {
    // A key that is not there is an answer; one that cannot be opened is a failure.
    if (opened != ERROR_FILE_NOT_FOUND) ReportSystemError("RegOpenKeyEx", opened);
    return std::nullopt;
  }
  const std::wstring name = Wide(valueName);
  // The value may change between the size query and the read; a longer one is asked
  // for again.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (const LSTATUS asked = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr,
                                               &bytes);
        asked != ERROR_SUCCESS) {
      if (asked != ERROR_FILE_NOT_FOUND) ReportSystemError("RegQueryValueEx", asked);
      return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD filled = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LSTATUS status = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(text.data()), &filled);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) {
      if (status != ERROR_FILE_NOT_FOUND) ReportSystemError("RegQueryValueEx", status);
      return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // A stored string need not end in a zero, and may end in several.
    std::wstring_view value(text.data(), filled / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.remove_suffix(1);
    return Utf8(value);
  }
  return std::nullopt;
}

}  // namespace lumora::platform::win32
