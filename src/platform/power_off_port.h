#pragma once
// Switching the PC off: the shutdown privilege of the process, then the request that
// ends the session and powers the machine off.

namespace lumora::platform {

// The request's flag for switching the power off, as ExitWindowsEx takes it. Without
// the force flag, a program that refuses to end keeps the session, and the PC, on.
inline constexpr unsigned kExitPowerOff = 0x8;

class PowerOffPort {
 public:
  virtual ~PowerOffPort() = default;
  // Enables the shutdown privilege in the process's token; false, reported, when the
  // process cannot hold it.
  virtual bool EnableShutdownPrivilege() = 0;
  // Asks the system to end the session as the flags say, with the reason code; the
  // request returns at once. False, reported, when the system refuses it.
  virtual bool EndSession(unsigned flags, unsigned reason) = 0;
};

}  // namespace lumora::platform
