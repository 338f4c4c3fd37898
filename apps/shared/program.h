#pragma once
// The Windows program around the application: the real machine's ports except the
// ones a caller brings (the simulated PC brings its console, its system facts, its
// network, its power-off, its web site and its shell), the Win32 view, and the message
// loop. The registry's Run key is always the real one.

#include <functional>

#include "app/application.h"
#include "platform/console_port.h"
#include "platform/http_port.h"
#include "platform/network_ports.h"
#include "platform/power_off_port.h"
#include "platform/shell_port.h"
#include "platform/system_port.h"

namespace lumora::apps {

// Runs the program on the UI thread until it ends; returns the exit code. started
// runs once the main window is shown; ended once the program has ended, by whatever
// way, while its application is still there.
int RunProgram(platform::ConsolePort& console, platform::SystemFacts& system,
               const platform::NetworkPorts& network, platform::PowerOffPort& power,
               platform::HttpPort& http, platform::ShellPort& shell,
               const std::function<void(app::Application&)>& started = {},
               const std::function<void(app::Application&)>& ended = {});

}  // namespace lumora::apps
