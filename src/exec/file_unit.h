#pragma once
// Read-change-write units on whole files. Each file has one lock of its own, so two
// units on the same file never interleave, and a unit of an ended worker writes
// nothing. The file is replaced atomically.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_port.h"

namespace lumora::exec {

// change receives the current bytes (nullopt when the file is missing) and returns the
// new bytes, or nullopt to leave the file as it is. A file that is there but cannot be
// read (another program holds it) is left alone: writing it from nothing would lose
// everything else it holds.
using FileChange = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

void ChangeFileAsUnit(platform::FilePort& files, std::string_view path, const FileChange& change);

// Reads the file under its lock, so a read never sees the middle of a unit.
std::optional<std::string> ReadFileAsUnit(platform::FilePort& files, std::string_view path);

}  // namespace lumora::exec
