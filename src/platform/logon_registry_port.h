#pragma once
// The machine-wide registry keys under which Windows finds the programs it starts at
// every logon. Paths are below HKEY_LOCAL_MACHINE.

#include <string_view>

namespace lumora::platform {

class LogonRegistryPort {
 public:
  virtual ~LogonRegistryPort() = default;
  // Whether the key opens for reading and holds the value (of any type).
  virtual bool ValueExists(std::string_view keyPath, std::string_view valueName) = 0;
  // Opens the key for writing, creating it when it is missing, and sets the value to the
  // text as REG_SZ; false when that cannot be done.
  virtual bool WriteString(std::string_view keyPath, std::string_view valueName,
                           std::string_view data) = 0;
  // Opens the key for writing and deletes the value; false when either fails.
  virtual bool DeleteValue(std::string_view keyPath, std::string_view valueName) = 0;
  // Deletes the subkey of the key; false when that fails.
  virtual bool DeleteSubkey(std::string_view keyPath, std::string_view subkeyName) = 0;
};

}  // namespace lumora::platform
