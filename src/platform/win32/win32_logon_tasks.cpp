#include <windows.h>
// After windows.h, which they need.
#include <sddl.h>
#include <taskschd.h>

#include <vector>

#include "platform/logon_task_xml.h"
#include "platform/win32/scoped_com.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_network.h"

namespace lumora::platform::win32 {

namespace {

// ITaskService answers a task or folder that is not there with the Win32 error.
constexpr HRESULT kNotThere = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

// The scheduler's root folder, connected as the calling user on this machine; empty
// (reported) when the scheduler cannot be reached.
ComPtr<ITaskFolder> RootFolder(ComPtr<ITaskService>& service) {
  HRESULT result = CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(ITaskService), service.PutVoid());
  if (FAILED(result) || !service) {
    ReportComError("CoCreateInstance TaskScheduler", FAILED(result) ? result : E_POINTER);
    return {};
  }
  const ScopedVariant none;
  result = service->Connect(none.Get(), none.Get(), none.Get(), none.Get());
  if (FAILED(result)) {
    ReportComError("ITaskService::Connect", result);
    return {};
  }
  ComPtr<ITaskFolder> root;
  const ScopedBstr path(L"\\");
  result = service->GetFolder(path.Get(), root.Put());
  if (FAILED(result) || !root) {
    ReportComError("ITaskService::GetFolder", FAILED(result) ? result : E_POINTER);
    return {};
  }
  return root;
}

// The SID of the user this process runs as, in its text form: the logon the task waits
// for and the account it runs under.
std::wstring ProcessUserSid() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
    ReportSystemError("OpenProcessToken", GetLastError());
    return {};
  }
  DWORD bytes = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &bytes);
  std::vector<unsigned char> buffer(bytes);
  if (bytes == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), bytes, &bytes)) {
    ReportSystemError("GetTokenInformation", GetLastError());
    return {};
  }
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    ReportSystemError("ConvertSidToStringSid", GetLastError());
    return {};
  }
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

// Each COM call: false (reported under call) when it fails.
bool Succeeded(std::string_view call, HRESULT result) {
  if (SUCCEEDED(result)) return true;
  ReportComError(call, result);
  return false;
}

}  // namespace

bool Win32LogonTasks::Register(std::string_view taskName, std::string_view programPath) {
  const ComScope com;
  if (!com.Usable()) return Succeeded("CoInitializeEx", E_UNEXPECTED);
  ComPtr<ITaskService> service;
  const ComPtr<ITaskFolder> root = RootFolder(service);
  if (!root) return false;
  const std::wstring sid = ProcessUserSid();
  if (sid.empty()) return false;
  const ScopedBstr name(Wide(taskName));
  const ScopedBstr xml(Wide(LogonTaskXml(Utf8(sid), programPath)));
  const ScopedVariant none;
  ComPtr<IRegisteredTask> registered;
  // Create or update: ticking the box again replaces the task, with this program's path.
  return Succeeded(
      "ITaskFolder::RegisterTask",
      root->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, none.Get(), none.Get(),
                         TASK_LOGON_INTERACTIVE_TOKEN, none.Get(), registered.Put()));
}

std::optional<std::string> Win32LogonTasks::RegisteredProgram(std::string_view taskName) {
  const ComScope com;
  if (!com.Usable()) {
    Succeeded("CoInitializeEx", E_UNEXPECTED);
    return std::nullopt;
  }
  ComPtr<ITaskService> service;
  const ComPtr<ITaskFolder> root = RootFolder(service);
  if (!root) return std::nullopt;
  const ScopedBstr name(Wide(taskName));
  ComPtr<IRegisteredTask> task;
  const HRESULT found = root->GetTask(name.Get(), task.Put());
  if (found == kNotThere) return std::nullopt;
  ComPtr<ITaskDefinition> definition;
  ComPtr<IActionCollection> actions;
  if (!Succeeded("ITaskFolder::GetTask", found) ||
      !Succeeded("IRegisteredTask::get_Definition", task->get_Definition(definition.Put())) ||
      !Succeeded("ITaskDefinition::get_Actions", definition->get_Actions(actions.Put()))) {
    return std::nullopt;
  }
  // A task of that name that starts no program is still there.
  ComPtr<IAction> action;
  if (FAILED(actions->get_Item(1, action.Put())) || !action) return std::string();
  const ComPtr<IExecAction> exec = action.As<IExecAction>(__uuidof(IExecAction));
  if (!exec) return std::string();
  ScopedBstr path;
  if (!Succeeded("IExecAction::get_Path", exec->get_Path(path.Put()))) return std::string();
  return path.ToUtf8();
}

bool Win32LogonTasks::Delete(std::string_view taskName) {
  const ComScope com;
  if (!com.Usable()) return Succeeded("CoInitializeEx", E_UNEXPECTED);
  ComPtr<ITaskService> service;
  const ComPtr<ITaskFolder> root = RootFolder(service);
  if (!root) return false;
  const ScopedBstr name(Wide(taskName));
  const HRESULT deleted = root->DeleteTask(name.Get(), 0);
  return deleted == kNotThere || Succeeded("ITaskFolder::DeleteTask", deleted);
}

}  // namespace lumora::platform::win32
