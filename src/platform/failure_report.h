#pragma once
// The one place where failures go that the program lives through: an exception that
// escaped a worker or a window procedure, and a system call that failed where the
// program carries on with a neutral answer. Nothing is swallowed silently.
//
// The real program writes each line to the debugger output and to a small diagnostic
// log that a user can attach to a report; the tests fail the running test.

#include <string_view>

namespace lumora::platform {

class FailureSink {
 public:
  virtual ~FailureSink() = default;
  // One line: where it happened and what went wrong. Called from any thread.
  virtual void Write(std::string_view line) = 0;
};

// Makes sink the process's reporter (nullptr: none). Set once at start, before any
// worker runs; the sink must outlive every report.
void SetFailureSink(FailureSink* sink);

// Reports a failure: "where: what". Without a sink the line goes to standard error.
void ReportFailure(std::string_view where, std::string_view what);

// Inside a catch block: reports the exception being handled, with its message when it
// is a standard exception.
void ReportCurrentException(std::string_view where);

}  // namespace lumora::platform
