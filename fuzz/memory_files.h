#pragma once
// Files held in memory for the targets that read and write through the file port.

#include <map>

#include "platform/file_port.h"

namespace lumora::fuzz {

class MemoryFiles final : public platform::FilePort {
 public:
  std::optional<std::string> ReadWholeFile(std::string_view path) override {
    const auto found = files_.find(std::string(path));
    if (found == files_.end()) return std::nullopt;
    return found->second;
  }
  bool FileExists(std::string_view path) override { return files_.contains(std::string(path)); }
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override {
    files_[std::string(path)] = std::string(bytes);
    return true;
  }

 private:
  std::map<std::string, std::string, std::less<>> files_;
};

}  // namespace lumora::fuzz
