#pragma once
// Owners for COM: the thread's COM initialisation for the length of one call, interface
// pointers, BSTRs and VARIANTs, so that no path can return without releasing one.

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "platform/win32/scoped_win.h"

namespace lumora::platform::win32 {

// Initialises COM (single-threaded apartment) on the calling thread and undoes it on
// destruction. A thread already in the other apartment model can use COM as it is.
class ComScope {
 public:
  ComScope() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    owned_ = result == S_OK || result == S_FALSE;
    usable_ = owned_ || result == RPC_E_CHANGED_MODE;
  }
  ~ComScope() {
    if (owned_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  bool Usable() const { return usable_; }

 private:
  bool owned_ = false;
  bool usable_ = false;
};

// One counted reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = other.Detach();
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Releases what is held and hands out the slot for a call that returns a reference.
  T** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  T* Detach() {
    T* p = pointer_;
    pointer_ = nullptr;
    return p;
  }

  // Asks the object for another interface; an empty result when it has none.
  template <typename U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> other;
    if (pointer_ && FAILED(pointer_->QueryInterface(iid, other.PutVoid()))) other.Reset();
    return other;
  }

 private:
  T* pointer_ = nullptr;
};

class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(std::wstring_view text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~ScopedBstr() { Reset(); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;

  BSTR Get() const { return bstr_; }
  BSTR* Put() {
    Reset();
    return &bstr_;
  }
  void Reset() {
    if (bstr_) SysFreeString(bstr_);
    bstr_ = nullptr;
  }
  std::string ToUtf8() const { return BstrUtf8(bstr_); }

  static std::string BstrUtf8(BSTR bstr) {
    return bstr ? Utf8(std::wstring_view(bstr, SysStringLen(bstr))) : std::string();
  }

 private:
  BSTR bstr_ = nullptr;
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&variant_); }
  ~ScopedVariant() { VariantClear(&variant_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  const VARIANT& Get() const { return variant_; }
  // Clears what is held and hands out the variant for a call that fills it.
  VARIANT* Put() {
    VariantClear(&variant_);
    return &variant_;
  }

 private:
  VARIANT variant_;
};

}  // namespace lumora::platform::win32
