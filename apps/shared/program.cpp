#include "shared/program.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include "app/application.h"
#include "platform/steady_clock.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/win32_dispatcher.h"
#include "ui/win32/win32_view.h"

namespace lumora::apps {

int RunProgram(platform::ConsolePort& console, platform::SystemFacts& system,
               const platform::NetworkPorts& network, platform::PowerOffPort& power,
               platform::HttpPort& http, platform::ShellPort& shell,
               const std::function<void(app::Application&)>& started,
               const std::function<void(app::Application&)>& ended) {
  // The UI thread keeps OLE for the whole run; workers initialise COM themselves.
  platform::win32::Win32DiagnosticLog diagnostics;
  platform::SetFailureSink(&diagnostics);
  const HRESULT ole = OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);

  platform::win32::Win32Files files;
  platform::SteadyClock clock;
  platform::win32::Win32Instances instances;
  platform::win32::Win32LogonRegistry logonRegistry;
  platform::win32::Win32LogonTasks logonTasks;
  platform::Platform platform{files,   console, clock, system,        instances, shell,
                              network, power,   http,  logonRegistry, logonTasks};
  ui::win32::Win32Dispatcher dispatcher;
  ui::win32::Win32MessageBoxes messages;

  // The view goes before the application: no window of it may outlive its model.
  ui::win32::Win32View* view = nullptr;
  int exitCode = 0;
  {
    app::Application application(platform, dispatcher, messages,
                                 {[&view](ui::WindowModel& window) { view->Attach(window); },
                                  [&view](int code) { view->Quit(code); }});
    ui::win32::Win32View realView;
    view = &realView;
    realView.UseSkin(application.Skin());
    if (application.Start()) {
      if (started) started(application);
      exitCode = realView.RunMessageLoop();
    }
    if (ended) ended(application);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  platform::SetFailureSink(nullptr);
  return exitCode;
}

}  // namespace lumora::apps
