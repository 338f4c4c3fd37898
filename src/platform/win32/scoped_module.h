#pragma once
// System DLLs loaded at run time, by their full path in the system folder. The program
// runs as administrator from wherever it was saved: a DLL found by name could be any
// file of that name beside it, so nothing but the known DLLs is imported statically.

#include <windows.h>

#include <string>
#include <string_view>

namespace lumora::platform::win32 {

// The full path of a file in the system folder; empty when the folder is not to be had.
std::wstring SystemFolderPath(std::wstring_view name);

// Makes every DLL loaded later by name, the system's own included, come from the system
// folder. The first thing each program does, before anything loads a DLL.
void KeepDllSearchInSystemFolder();

// A DLL from the system folder, freed on destruction; empty when it cannot be loaded.
// For DLLs that not every Windows has: their absence is no failure.
class ScopedModule {
 public:
  explicit ScopedModule(const wchar_t* systemDllName) {
    const std::wstring path = SystemFolderPath(systemDllName);
    if (!path.empty()) module_ = LoadLibraryW(path.c_str());
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

// A DLL from the system folder that every Windows the program runs on has: loaded when
// its table is first used and kept to the end, since workers may call it until then.
// Failing to load it, or a function missing from it, is reported.
class SystemDll {
 public:
  explicit SystemDll(const wchar_t* systemDllName);
  SystemDll(const SystemDll&) = delete;
  SystemDll& operator=(const SystemDll&) = delete;

  // The exported function; nullptr, reported, when it is missing.
  void (*Find(const char* name) const)();

 private:
  std::string name_;
  HMODULE module_ = nullptr;
};

template <typename Signature>
class SystemFunction;

// A function of a SystemDll, with the signature of its declaration in the SDK headers.
// Called where it is missing, it sets ERROR_PROC_NOT_FOUND and answers the failure value
// it was given, so that its caller takes its own failure path instead of crashing.
template <typename Result, typename... Arguments>
class SystemFunction<Result(Arguments...)> {
 public:
  SystemFunction(const SystemDll& dll, const char* name, Result failure)
      : function_(reinterpret_cast<Result (*)(Arguments...)>(dll.Find(name))), failure_(failure) {}

  Result operator()(Arguments... arguments) const {
    if (!function_) {
      SetLastError(ERROR_PROC_NOT_FOUND);
      return failure_;
    }
    return function_(arguments...);
  }

 private:
  Result (*function_)(Arguments...);
  Result failure_;
};

}  // namespace lumora::platform::win32
