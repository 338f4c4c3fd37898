#pragma once
// The reporter of the real program: each failure goes to the debugger output and, with
// the time, to "LumoraWiFi\diagnostics.log" in the user's local application-data
// folder, which stays under 1 MB.

#include <mutex>
#include <string>

#include "platform/failure_report.h"

namespace lumora::platform::win32 {

class Win32DiagnosticLog final : public FailureSink {
 public:
  Win32DiagnosticLog();
  void Write(std::string_view line) override;
  // Where the log is kept; empty when the folder is not to be had.
  const std::string& Path() const { return path_; }

 private:
  std::mutex lock_;
  std::string path_;
};

// "error 5 Access denied.": a system error's number and the system's text for it.
std::string SystemErrorText(unsigned long error);

// Reports a system call that failed where the program goes on with a neutral answer:
// the call, the error's number and the system's text for it.
void ReportSystemError(std::string_view call, unsigned long error);
// The same for a COM call's HRESULT.
void ReportComError(std::string_view call, long result);

}  // namespace lumora::platform::win32
