#pragma once
// What the network configuration works with: the main window's controls (which hold
// the connection names), the services of the program, and the machine's network ports.

#include "exec/exec_services.h"
#include "platform/network_ports.h"
#include "settings/settings.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace lumora::netconfig {

class AdapterToolkit;

// The OS version code of Windows 7 (version 6.1).
inline constexpr int kWindows7 = 5;

struct NetworkContext {
  ui::MainWindow& window;
  exec::ExecServices& exec;
  settings::Settings& settings;
  ui::MessageBoxes& messages;
  platform::NetworkPorts& ports;
  AdapterToolkit& toolkit;
  // The OS version code of the start-up and whether the system reports version 6.2; both are known
  // once the main window has been created.
  const int& osVersionCode;
  const bool& reportsVersion62;

  bool Windows7() const { return osVersionCode == kWindows7; }
};

}  // namespace lumora::netconfig
