#include "platform/diagnostic_log.h"

namespace lumora::platform {

std::string AppendToDiagnosticLog(std::string_view log, std::string_view line,
                                  std::size_t limit) {
  // A line that alone would fill the log is cut to half the limit.
  if (line.size() + 2 > limit / 2) line = line.substr(0, limit / 2 > 2 ? limit / 2 - 2 : 0);
  if (log.size() + line.size() + 2 >= limit) {
    std::size_t start = log.size() / 2;
    const std::size_t lineEnd = log.find('\n', start);
    start = lineEnd == std::string_view::npos ? log.size() : lineEnd + 1;
    log.remove_prefix(start);
  }
  std::string next(log);
  next += line;
  next += "\r\n";
  return next;
}

}  // namespace lumora::platform
