#include "platform/win32/win32_console.h"

#include <vector>

#include "platform/failure_report.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "text/command_line.h"

namespace lumora::platform::win32 {

namespace {

// Appends whatever the pipe holds now, every byte of it (a zero byte included).
void DrainPipe(HANDLE readEnd, std::string& output) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) || available == 0)
      return;
    char chunk[4096];
    DWORD read = 0;
    if (!ReadFile(readEnd, chunk, std::min<DWORD>(available, sizeof chunk), &read, nullptr) ||
        read == 0) {
      return;
    }
    output.append(chunk, read);
  }
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsFullPath(std::string_view name) {
  const bool drive = name.size() >= 3 &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  return drive && name[1] == ':' && IsSeparator(name[2]);
}

bool IsBareName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace

std::optional<std::wstring> StartedProgramPath(std::string_view commandLine) {
  const std::string program = text::SplitProgramName(commandLine).program;
  if (IsFullPath(program)) return Wide(program);
  if (IsBareName(program)) {
    // The extension CreateProcessW would add to a name without one.
    const std::string file = program.find('.') == std::string::npos ? program + ".exe" : program;
    std::wstring path = SystemFolderPath(Wide(file));
    if (!path.empty()) return path;
    ReportSystemError("GetSystemDirectoryW", GetLastError());
    return std::nullopt;
  }
  ReportFailure("CreateProcessW " + program,
                "neither a program of the system folder nor a full path");
  return std::nullopt;
}

std::string Win32Console::Run(std::string_view commandLine,
                              const std::function<bool()>& keepGoing) {
  std::string output;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  ScopedHandle readEnd;
  ScopedHandle writeEnd;
  if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inheritable, 0)) {
    ReportSystemError("CreatePipe", GetLastError());
    return output;
  }
  // Only the write end goes to the child; a child holding the read end would keep
  // the pipe open after we are done with it.
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  const std::optional<std::wstring> program = StartedProgramPath(commandLine);
  if (!program) return output;
  PROCESS_INFORMATION process{};
  // The child reads its command line in UTF-16, so it gets the line in UTF-16, quoted as
  // it was built. Through the ANSI code page a character code page 936 lacks would
  // arrive as "?", and a stray lead byte would take the quote after it for its second
  // byte, so that the argument ran on.
  const std::wstring line = Wide(commandLine);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  if (!CreateProcessW(program->c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &process)) {
    // The program only: its arguments can hold a pass phrase, which has no place in a log.
    ReportSystemError("CreateProcessW " + text::SplitProgramName(commandLine).program,
                      GetLastError());
    return output;
  }
  ScopedHandle child(process.hProcess);
  ScopedHandle childThread(process.hThread);
  writeEnd.Reset();

  // The child's end is judged by its handle, not by its exit code, so a program
  // that exits with 259 (STILL_ACTIVE) does not keep us waiting forever.
  for (;;) {
    DrainPipe(readEnd.Get(), output);
    if (WaitForSingleObject(child.Get(), 10) == WAIT_OBJECT_0) break;
    if (!keepGoing()) {
      TerminateProcess(child.Get(), 1);
      WaitForSingleObject(child.Get(), 1000);
      break;
    }
  }
  DrainPipe(readEnd.Get(), output);
  return output;
}

}  // namespace lumora::platform::win32
