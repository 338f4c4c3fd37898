#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

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
    if (const LSTATUS asked =
            RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes);
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

namespace {

// A key of HKEY_LOCAL_MACHINE opened with that access; false when it is not there or
// cannot be opened (reported unless it is missing).
bool OpenMachineKey(std::string_view keyPath, REGSAM access, ScopedKey& key) {
  const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(keyPath).c_str(), 0,
                                       access | KEY_WOW64_64KEY, key.Put());
  if (opened == ERROR_SUCCESS) return true;
  if (opened != ERROR_FILE_NOT_FOUND) ReportSystemError("RegOpenKeyEx", opened);
  return false;
}

}  // namespace

bool Win32LogonRegistry::ValueExists(std::string_view keyPath, std::string_view valueName) {
  ScopedKey key;
  if (!OpenMachineKey(keyPath, KEY_READ, key)) return false;
  const LSTATUS asked =
      RegQueryValueExW(key.Get(), Wide(valueName).c_str(), nullptr, nullptr, nullptr, nullptr);
  if (asked != ERROR_SUCCESS && asked != ERROR_FILE_NOT_FOUND)
    ReportSystemError("RegQueryValueEx", asked);
  return asked == ERROR_SUCCESS;
}

bool Win32LogonRegistry::WriteString(std::string_view keyPath, std::string_view valueName,
                                     std::string_view data) {
  ScopedKey key;
  const LSTATUS created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(keyPath).c_str(), 0, nullptr, 0,
                                          KEY_WRITE | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr);
  if (created != ERROR_SUCCESS) {
    ReportSystemError("RegCreateKeyEx", created);
    return false;
  }
  const std::wstring text = Wide(data);
  // The text with its terminating zero.
  const LSTATUS set = RegSetValueExW(key.Get(), Wide(valueName).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text.c_str()),
                                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  if (set != ERROR_SUCCESS) ReportSystemError("RegSetValueEx", set);
  return set == ERROR_SUCCESS;
}

bool Win32LogonRegistry::DeleteValue(std::string_view keyPath, std::string_view valueName) {
  ScopedKey key;
  if (!OpenMachineKey(keyPath, KEY_WRITE, key)) return false;
  const LSTATUS deleted = RegDeleteValueW(key.Get(), Wide(valueName).c_str());
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
    ReportSystemError("RegDeleteValue", deleted);
  return deleted == ERROR_SUCCESS;
}

bool Win32LogonRegistry::DeleteSubkey(std::string_view keyPath, std::string_view subkeyName) {
  ScopedKey key;
  if (!OpenMachineKey(keyPath, KEY_WRITE, key)) return false;
  const LSTATUS deleted = RegDeleteKeyExW(key.Get(), Wide(subkeyName).c_str(), KEY_WOW64_64KEY, 0);
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
    ReportSystemError("RegDeleteKeyEx", deleted);
  return deleted == ERROR_SUCCESS;
}

}  // namespace lumora::platform::win32
