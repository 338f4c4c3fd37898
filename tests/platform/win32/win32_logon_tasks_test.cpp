// Logon tasks in the system's Task Scheduler, read back through the port and through the
// task's own XML, as the scheduler stores it.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <taskschd.h>

#include <string>

#include "platform/win32/scoped_com.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {
namespace {

constexpr std::string_view kName = "lmrawifiqd_test";

// The XML of the task of that name in the root folder; empty when there is none.
std::string TaskXml(std::string_view name) {
  const ComScope com;
  ComPtr<ITaskService> service;
  if (FAILED(CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(ITaskService), service.PutVoid())))
    return "no scheduler";
  const ScopedVariant none;
  ComPtr<ITaskFolder> root;
  const ScopedBstr rootPath(L"\\");
  if (FAILED(service->Connect(none.Get(), none.Get(), none.Get(), none.Get())) ||
      FAILED(service->GetFolder(rootPath.Get(), root.Put())))
    return "no root folder";
  ComPtr<IRegisteredTask> task;
  const ScopedBstr taskName(Wide(name));
  if (FAILED(root->GetTask(taskName.Get(), task.Put()))) return {};
  ScopedBstr xml;
  if (FAILED(task->get_Xml(xml.Put()))) return "no xml";
  return xml.ToUtf8();
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(Win32LogonTasks, RegistersReadsBackReplacesAndDeletesALogonTask) {
  Win32LogonTasks tasks;
  ASSERT_TRUE(tasks.Delete(kName));
  EXPECT_EQ(tasks.RegisteredProgram(kName), std::nullopt);

  const std::string path = "C:\\Program Files\\Lumora WiFi\\LumoraWiFi.exe";
  ASSERT_TRUE(tasks.Register(kName, path));
  const std::optional<std::string> registered = tasks.RegisteredProgram(kName);
  ASSERT_TRUE(registered.has_value());
  const std::string xml = TaskXml(kName);
  // What Wine's scheduler keeps of the task as well as Windows does.
  for (const std::string_view part :
       {std::string_view("<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>"),
        std::string_view("<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"),
        std::string_view("<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"),
        std::string_view("<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>")}) {
    EXPECT_NE(xml.find(part), std::string::npos) << part << " in\n" << xml;
  }
  EXPECT_EQ(xml.find("<Arguments>"), std::string::npos) << xml;
  // Wine (8.0) stores the task without its logon trigger, its principal and its
  // command, and never runs it at a logon; Windows keeps them all.
  if (!UnderWine()) {
    EXPECT_EQ(registered, path);
    for (const std::string_view part :
         {std::string_view("<LogonTrigger>"), std::string_view("<UserId>S-1-5-"),
          std::string_view("<LogonType>InteractiveToken</LogonType>"),
          std::string_view("<RunLevel>HighestAvailable</RunLevel>"),
          std::string_view("<Command>C:\\Program Files\\Lumora WiFi\\LumoraWiFi.exe</Command>")}) {
      EXPECT_NE(xml.find(part), std::string::npos) << part << " in\n" << xml;
    }
  }

  // Registering again replaces the task.
  const std::string moved = "D:\\工具 & 其他\\LumoraWiFi.exe";
  ASSERT_TRUE(tasks.Register(kName, moved));
  if (!UnderWine()) {
    EXPECT_EQ(tasks.RegisteredProgram(kName), moved);
  }

  EXPECT_TRUE(tasks.Delete(kName));
  EXPECT_EQ(tasks.RegisteredProgram(kName), std::nullopt);
  EXPECT_EQ(TaskXml(kName), "");
  // Gone already: an answer, not a failure.
  EXPECT_TRUE(tasks.Delete(kName));
}

}  // namespace
}  // namespace lumora::platform::win32
