#include "platform/failure_report.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

namespace lumora::platform {

namespace {

std::atomic<FailureSink*> gSink{nullptr};

}  // namespace

void SetFailureSink(FailureSink* sink) { gSink = sink; }

void ReportFailure(std::string_view where, std::string_view what) {
  std::string line(where);
  line += ": ";
  line += what;
  if (FailureSink* sink = gSink.load()) {
    sink->Write(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

void ReportCurrentException(std::string_view where) {
  try {
    throw;
  } catch (const std::exception& failure) {
    ReportFailure(where, std::string("unexpected exception: ") + failure.what());
  } catch (...) {
    ReportFailure(where, "unexpected exception of an unknown type");
  }
}

}  // namespace lumora::platform
