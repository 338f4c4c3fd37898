#pragma once
// The ports one program runs on: the real Windows machine, or the simulated PC.

#include "platform/clock_port.h"
#include "platform/console_port.h"
#include "platform/file_port.h"
#include "platform/http_port.h"
#include "platform/logon_registry_port.h"
#include "platform/logon_task_port.h"
#include "platform/network_ports.h"
#include "platform/power_off_port.h"
#include "platform/shell_port.h"
#include "platform/system_port.h"

namespace lumora::platform {

struct Platform {
  FilePort& files;
  ConsolePort& console;
  Clock& clock;
  SystemFacts& system;
  Instances& instances;
  ShellPort& shell;
  NetworkPorts network;
  PowerOffPort& power;
  HttpPort& http;
  LogonRegistryPort& logonRegistry;
  LogonTaskPort& logonTasks;
};

}  // namespace lumora::platform
