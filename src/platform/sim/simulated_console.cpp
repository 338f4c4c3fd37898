#include "platform/sim/simulated_console.h"

#include "text/command_line.h"
#include "text/cp936.h"

namespace lumora::platform::sim {

namespace {

std::string ProgramKey(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (key.size() > 4 && key.ends_with(".exe")) key.resize(key.size() - 4);
  return key;
}

}  // namespace

void SimulatedConsole::Install(std::string name, Program program) {
  std::lock_guard guard(lock_);
  programs_[ProgramKey(name)] = std::move(program);
}

std::string SimulatedConsole::Run(std::string_view commandLine,
                                  const std::function<bool()>& keepGoing) {
  // Windows finds the program by the name at the start of the line; the program
  // splits the rest itself.
  const text::ProgramAndArguments parts = text::SplitProgramName(commandLine);
  Program program;
  {
    std::lock_guard guard(lock_);
    history_.emplace_back(commandLine);
    const auto found = programs_.find(ProgramKey(parts.program));
    if (found == programs_.end()) return {};  // no such program: nothing starts
    program = found->second;
  }
  return text::Cp936FromUtf8(program(parts.arguments, keepGoing));
}

std::vector<std::string> SimulatedConsole::History() const {
  std::lock_guard guard(lock_);
  return history_;
}

}  // namespace lumora::platform::sim
