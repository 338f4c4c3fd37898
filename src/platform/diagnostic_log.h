#pragma once
// The text of the diagnostic log: one line a failure, kept under a size limit by
// dropping its older half whenever a line would take it over.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::platform {

inline constexpr std::size_t kDiagnosticLogLimit = 1024 * 1024;

// The log with line appended (CR LF added). When that would reach the limit, the
// older half goes first, cut at a line's start, so the log never holds half a line.
std::string AppendToDiagnosticLog(std::string_view log, std::string_view line,
                                  std::size_t limit = kDiagnosticLogLimit);

}  // namespace lumora::platform
