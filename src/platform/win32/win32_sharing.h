#pragma once
// One connection of a walk over the sharing objects, apart from the walk so that a test
// can hand it objects of its own.

#include <windows.h>
// After <windows.h>, in whose terms it is declared.
#include <netcon.h>

#include <string>

#include "platform/network_ports.h"
#include "platform/win32/scoped_com.h"

namespace lumora::platform::win32 {

// A connection's properties and its sharing configuration, either of which may be
// missing when the sharing object refused it (configRefusal: the refusal's HRESULT). A
// switch that fails, or that has no configuration to go through, is reported with the
// connection's name.
class SharingItem final : public SharedConnection {
 public:
  SharingItem(ComPtr<INetConnectionProps> props, ComPtr<INetSharingConfiguration> config,
              HRESULT configRefusal);

  std::string Name() override;
  int Status() override;
  bool DisableSharing() override;
  bool EnableSharing(SharingType type) override;
  bool SharingEnabled();

 private:
  // The configuration for a switch; empty, and reported under call, when there is none.
  INetSharingConfiguration* ConfigFor(std::string_view call);

  ComPtr<INetConnectionProps> props_;
  ComPtr<INetSharingConfiguration> config_;
  HRESULT configRefusal_;
};

}  // namespace lumora::platform::win32
