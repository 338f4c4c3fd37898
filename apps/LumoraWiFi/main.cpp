// LumoraWiFi.exe: the program on the real machine.
#include <windows.h>

#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_system.h"
#include "shared/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  lumora::platform::win32::KeepDllSearchInSystemFolder();
  lumora::platform::win32::Win32Console console;
  lumora::platform::win32::Win32SystemFacts system;
  lumora::platform::win32::Win32Sharing sharing;
  lumora::platform::win32::Win32ConnectionManager connectionManager;
  lumora::platform::win32::Win32Wmi wmi;
  lumora::platform::win32::Win32IpHelper ipHelper;
  lumora::platform::win32::Win32InternetState internetState;
  lumora::platform::win32::Win32Registry registry;
  lumora::platform::win32::Win32Wlan wlan;
  lumora::platform::win32::Win32Services services;
  lumora::platform::win32::Win32NameLookup names;
  lumora::platform::win32::Win32MobileHotspot mobileHotspot;
  lumora::platform::win32::Win32PowerOff power;
  lumora::platform::win32::Win32Http http;
  lumora::platform::win32::Win32Shell shell;
  return lumora::apps::RunProgram(
      console, system,
      {sharing, connectionManager, wmi, ipHelper, internetState, registry, wlan, services, names,
       mobileHotspot},
      power, http, shell);
}
