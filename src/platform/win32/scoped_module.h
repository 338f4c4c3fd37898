#pragma once
// System DLLs loaded at run time, for the calls that not every Windows offers.

#include <windows.h>

#include <string>

namespace lumora::platform::win32 {

// A DLL from the system folder, freed on destruction; empty when it cannot be loaded.
class ScopedModule {
 public:
  explicit ScopedModule(const wchar_t* systemDllName) {
    // The full path keeps a DLL of the same name beside the program out of the way.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring path = std::wstring(folder, length) + L"\\" + systemDllName;
    module_ = LoadLibraryW(path.c_str());
  }
  ~ScopedModule() {
    if (module_) FreeLibrary(module_);
  }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;

  explicit operator bool() const { return module_ != nullptr; }

  // The exported function as a pointer of the given type; nullptr when it is missing.
  template <typename Function>
  Function* Find(const char* name) const {
    if (!module_) return nullptr;
    // void (*)() converts to and from every function pointer type without a warning.
    const auto generic = reinterpret_cast<void (*)()>(GetProcAddress(module_, name));
    return reinterpret_cast<Function*>(generic);
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace lumora::platform::win32
