#pragma once
// System facts, the one-instance rule, the shell and the power-off on the real machine.

#include "platform/power_off_port.h"
#include "platform/shell_port.h"
#include "platform/system_port.h"
#include "platform/win32/scoped_win.h"

namespace lumora::platform::win32 {

class Win32SystemFacts final : public SystemFacts {
 public:
  SystemVersion ReportedVersion() override;
  SystemVersion EnvironmentBlockVersion() override;
  ScreenSize PrimaryScreenSize() override;
  std::string ProgramPath() override;
};

class Win32Instances final : public Instances {
 public:
  bool ClaimInstance(std::string_view name) override;
  bool ShowWindowTitled(std::string_view title) override;

 private:
  ScopedHandle mutex_;  // held for the life of the process
};

class Win32Shell final : public ShellPort {
 public:
  void OpenUrl(std::string_view url) override;
  void StartProgram(std::string_view commandLine) override;
};

class Win32PowerOff final : public PowerOffPort {
 public:
  bool EnableShutdownPrivilege() override;
  bool EndSession(unsigned flags, unsigned reason) override;
};

}  // namespace lumora::platform::win32
