#pragma once
// Owners for Windows handles, so that no path can return without closing one.

#include <windows.h>

#include <string>
#include <string_view>

#include "text/utf.h"

namespace lumora::platform::win32 {

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.Release();
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  HANDLE Release() {
    HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }
  void Reset(HANDLE handle = nullptr) {
    if (handle_) CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  HANDLE* Put() {
    Reset();
    return &handle_;
  }

 private:
  HANDLE handle_ = nullptr;
};

// UTF-8 to the wide form the W calls take.
inline std::wstring Wide(std::string_view utf8) {
  const std::u16string wide = text::Utf16FromUtf8(utf8);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Utf8(std::wstring_view wide) {
  return text::Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace lumora::platform::win32
