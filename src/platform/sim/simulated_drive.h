#pragma once
// Drive C of the simulated PC: a folder of the machine the tests run on.

#include <filesystem>

#include "platform/file_port.h"

namespace lumora::platform::sim {

class SimulatedDrive final : public FilePort {
 public:
  explicit SimulatedDrive(std::filesystem::path root);

  std::optional<std::string> ReadWholeFile(std::string_view path) override;
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override;
  bool FileExists(std::string_view path) override;

  // The folder file that a Windows path names; empty for a path off drive C.
  std::filesystem::path HostPath(std::string_view windowsPath) const;

  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

}  // namespace lumora::platform::sim
