#include "platform/win32/win32_files.h"

#include <atomic>

#include "platform/win32/scoped_win.h"

namespace lumora::platform::win32 {

std::optional<std::string> Win32Files::ReadWholeFile(std::string_view path) {
  ScopedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1LL << 30)) return std::nullopt;
  std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  std::size_t total = 0;
  while (total < content.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(content.size() - total, 1 << 20));
    if (!ReadFile(file.Get(), content.data() + total, want, &done, nullptr)) return std::nullopt;
    if (done == 0) break;
    total += done;
  }
  content.resize(total);
  return content;
}

bool Win32Files::FileExists(std::string_view path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::ReplaceWholeFile(std::string_view path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const std::wstring target = Wide(path);
  const std::wstring temporary =
      target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  {
    ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t total = 0;
    bool ok = true;
    while (ok && total < bytes.size()) {
      DWORD done = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - total, 1 << 20));
      ok = WriteFile(file.Get(), bytes.data() + total, want, &done, nullptr) && done > 0;
      total += done;
    }
    if (!ok || !FlushFileBuffers(file.Get())) {
      file.Reset();
      DeleteFileW(temporary.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace lumora::platform::win32
