#include "exec/file_unit.h"

#include <map>
#include <memory>
#include <mutex>

#include "exec/worker_context.h"
#include "platform/failure_report.h"

namespace lumora::exec {

namespace {

// Windows paths name the same file whatever the letter case or slash.
std::string PathKey(std::string_view path) {
  std::string key(path);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return key;
}

std::mutex& LockOfFile(std::string_view path) {
  static std::mutex registryLock;
  static std::map<std::string, std::unique_ptr<std::mutex>> locks;
  std::lock_guard guard(registryLock);
  auto& lock = locks[PathKey(path)];
  if (!lock) lock = std::make_unique<std::mutex>();
  return *lock;
}

}  // namespace

void ChangeFileAsUnit(platform::FilePort& files, std::string_view path, const FileChange& change) {
  std::lock_guard guard(LockOfFile(path));
  if (CurrentWorkerEnded()) return;
  const std::optional<std::string> current = files.ReadWholeFile(path);
  if (!current && files.FileExists(path)) {
    platform::ReportFailure(path, "the file is there but cannot be read; it is left as it is");
    return;
  }
  const std::optional<std::string> next = change(current);
  if (!next) return;
  RunUnlessEnded([&] {
    if (!files.ReplaceWholeFile(path, *next))
      platform::ReportFailure(path, "the file cannot be replaced; it keeps its old text");
  });
}

std::optional<std::string> ReadFileAsUnit(platform::FilePort& files, std::string_view path) {
  std::lock_guard guard(LockOfFile(path));
  return files.ReadWholeFile(path);
}

}  // namespace lumora::exec
