#pragma once
// Facts about the running system and this process, and the one-instance rule.

#include <string>
#include <string_view>

namespace lumora::platform {

struct SystemVersion {
  int major = 0;
  int minor = 0;
  bool operator==(const SystemVersion&) const = default;
};

// The primary screen: its size in pixels and its DPI, which follows the display scaling
// (96 at 100 %, 144 at 150 %).
struct ScreenSize {
  int width = 0;
  int height = 0;
  int dpi = 96;
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;
  // The version GetVersion reports: later systems report 6.2 to a program whose
  // manifest names no system after Windows 7.
  virtual SystemVersion ReportedVersion() = 0;
  // The version in the process environment block, which follows the compatibility
  // mode the process runs in.
  virtual SystemVersion EnvironmentBlockVersion() = 0;
  virtual ScreenSize PrimaryScreenSize() = 0;
  // The full path of the program's own executable.
  virtual std::string ProgramPath() = 0;
};

class Instances {
 public:
  virtual ~Instances() = default;
  // Takes the process-wide name for this process; false when another process holds it.
  virtual bool ClaimInstance(std::string_view name) = 0;
  // Shows and restores the top-level window with exactly this title, without waiting
  // for it; false when there is none.
  virtual bool ShowWindowTitled(std::string_view title) = 0;
};

}  // namespace lumora::platform
