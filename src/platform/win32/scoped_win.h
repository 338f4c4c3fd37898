#pragma once
// Owners for Windows handles, so that no path can return without closing one.

#include <windows.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "text/utf.h"

namespace lumora::platform::win32 {

// A handle with the function that frees it, freed on every path out of its scope.
template <typename Handle, auto Free>
class ScopedResource {
 public:
  ScopedResource() = default;
  explicit ScopedResource(Handle handle) : handle_(Adopted(handle)) {}
  ~ScopedResource() { Reset(); }
  ScopedResource(ScopedResource&& other) noexcept : handle_(other.Release()) {}
  ScopedResource& operator=(ScopedResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (handle_) Free(handle_);
    handle_ = Adopted(handle);
  }
  // For a call that hands out the handle through its last argument.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  // CreateFile and its kin answer INVALID_HANDLE_VALUE, not nullptr, for no handle.
  static Handle Adopted(Handle handle) {
    if constexpr (std::is_same_v<Handle, HANDLE>)
      return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    else
      return handle;
  }

  Handle handle_ = nullptr;
};

inline void FreeKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void FreeKey(HKEY key) { RegCloseKey(key); }
inline void FreeServiceHandle(SC_HANDLE handle) { CloseServiceHandle(handle); }

using ScopedHandle = ScopedResource<HANDLE, &FreeKernelHandle>;
using ScopedKey = ScopedResource<HKEY, &FreeKey>;
using ScopedServiceHandle = ScopedResource<SC_HANDLE, &FreeServiceHandle>;

// The device context of a window (or of the screen for nullptr), for measuring; or the
// one a window gave (GetWindowDC, for its frame), released the same way.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : ScopedWindowDc(window, GetDC(window)) {}
  ScopedWindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
  ~ScopedWindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// UTF-8 to the wide form the W calls take.
inline std::wstring Wide(std::string_view utf8) {
  const std::u16string wide = text::Utf16FromUtf8(utf8);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Utf8(std::wstring_view wide) {
  return text::Utf8FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace lumora::platform::win32
