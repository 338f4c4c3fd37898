#include "platform/sim/simulated_drive.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "text/utf.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lumora::platform::sim {

namespace {

// Writes and flushes bytes into a new file; false when any step failed.
bool WriteFlushed(const std::filesystem::path& file, std::string_view bytes) {
#ifdef _WIN32
  std::FILE* out = _wfopen(file.c_str(), L"wbc");  // "c": fflush commits to the disk
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                       std::fflush(out) == 0;
  return std::fclose(out) == 0 && written;
#else
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool written = done == bytes.size() && ::fdatasync(fd) == 0;
  return ::close(fd) == 0 && written;
#endif
}

}  // namespace

SimulatedDrive::SimulatedDrive(std::filesystem::path root) : root_(std::move(root)) {
  std::error_code ignored;
  std::filesystem::create_directories(root_, ignored);
}

std::filesystem::path SimulatedDrive::HostPath(std::string_view windowsPath) const {
  if (windowsPath.size() < 3 || (windowsPath[0] != 'c' && windowsPath[0] != 'C') ||
      windowsPath[1] != ':' || (windowsPath[2] != '\\' && windowsPath[2] != '/')) {
    return {};
  }
  std::filesystem::path result = root_;
  std::string_view rest = windowsPath.substr(3);
  while (!rest.empty()) {
    const std::size_t cut = rest.find_first_of("\\/");
    const std::string_view part = rest.substr(0, cut);
    if (part == "..") return {};  // stay inside the drive
    if (!part.empty() && part != ".") {
      const std::u16string wide = text::Utf16FromUtf8(part);
      result /= std::filesystem::path(wide);
    }
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return result;
}

std::optional<std::string> SimulatedDrive::ReadWholeFile(std::string_view path) {
  const std::filesystem::path file = HostPath(path);
  if (file.empty()) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(content).str();
}

bool SimulatedDrive::FileExists(std::string_view path) {
  const std::filesystem::path file = HostPath(path);
  std::error_code ignored;
  return !file.empty() && std::filesystem::exists(file, ignored);
}

bool SimulatedDrive::ReplaceWholeFile(std::string_view path, std::string_view bytes) {
  const std::filesystem::path file = HostPath(path);
  if (file.empty()) return false;
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temporary = file;
  temporary += ".tmp" + std::to_string(++counter);
  std::error_code error;
  if (!WriteFlushed(temporary, bytes)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, file, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

}  // namespace lumora::platform::sim
