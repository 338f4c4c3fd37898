#pragma once
// Whole files on the real drives of the machine.

#include "platform/file_port.h"

namespace lumora::platform::win32 {

class Win32Files final : public FilePort {
 public:
  std::optional<std::string> ReadWholeFile(std::string_view path) override;
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override;
  bool FileExists(std::string_view path) override;
};

}  // namespace lumora::platform::win32
