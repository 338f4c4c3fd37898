#pragma once
// Whole files by their Windows path ("c:\lmrawifi.ini"). Bytes are passed as they
// stand on disk; the callers own the encoding.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::platform {

class FilePort {
 public:
  virtual ~FilePort() = default;

  // The whole content, or nullopt when the file is missing or cannot be read.
  virtual std::optional<std::string> ReadWholeFile(std::string_view path) = 0;

  // Whether the file is there, readable or not.
  virtual bool FileExists(std::string_view path) = 0;

  // Replaces the whole content atomically: the bytes go into a temporary file beside
  // it, are flushed to the disk, and the temporary file is renamed over the old one.
  // A crash at any moment leaves the old or the new content. False when it failed;
  // the old content then stays.
  virtual bool ReplaceWholeFile(std::string_view path, std::string_view bytes) = 0;
};

}  // namespace lumora::platform
