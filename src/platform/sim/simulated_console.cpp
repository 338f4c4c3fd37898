#include "platform/sim/simulated_console.h"

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
  const std::size_t start = commandLine.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  const std::size_t end = commandLine.find(' ', start);
  const std::string_view name = commandLine.substr(start, end - start);
  const std::string_view arguments =
      end == std::string_view::npos ? std::string_view{} : commandLine.substr(end + 1);
  Program program;
  {
    std::lock_guard guard(lock_);
    history_.emplace_back(commandLine);
    const auto found = programs_.find(ProgramKey(name));
    if (found == programs_.end()) return {};  // no such program: nothing starts
    program = found->second;
  }
  return text::Cp936FromUtf8(program(arguments, keepGoing));
}

std::vector<std::string> SimulatedConsole::History() const {
  std::lock_guard guard(lock_);
  return history_;
}

}  // namespace lumora::platform::sim
