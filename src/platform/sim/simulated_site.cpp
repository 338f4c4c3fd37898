#include "platform/sim/simulated_site.h"

#include <chrono>

#include "text/cp936.h"

namespace lumora::platform::sim {

namespace {

// "http://host:port/path?query" gives "/path"; an address without a path gives "/".
std::string PathOf(std::string_view url) {
  const std::size_t scheme = url.find("://");
  std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
  const std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return "/";
  rest = rest.substr(slash);
  return std::string(rest.substr(0, rest.find_first_of("?#")));
}

constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

}  // namespace

std::string SimulatedSite::ReadUrl(std::string_view url, const std::function<bool()>& keepGoing) {
  return Serve("read ", url, keepGoing);
}

std::string SimulatedSite::Get(std::string_view url, const std::function<bool()>& keepGoing) {
  return Serve("get ", url, keepGoing);
}

std::string SimulatedSite::Serve(std::string_view how, std::string_view url,
                                 const std::function<bool()>& keepGoing) {
  {
    std::unique_lock guard(lock_);
    requests_.push_back(std::string(how) + std::string(url));
    ++waiting_;
    // A held request is given up as the program's would be.
    bool givenUp = false;
    while (held_ && !(givenUp = !keepGoing()))
      letGo_.wait_for(guard, std::chrono::milliseconds(5));
    --waiting_;
    if (givenUp) return {};
  }
  if (clock_ && scenario_.site.delayMs > 0) clock_->SleepFor(scenario_.site.delayMs, nullptr);
  if (!scenario_.site.reachable) return {};
  const auto page = scenario_.site.pages.find(PathOf(url));
  if (page == scenario_.site.pages.end()) return {};
  std::string body = text::Cp936FromUtf8(page->second);
  if (body.size() > kMostBodyBytes) body.resize(kMostBodyBytes);
  return body;
}

std::vector<std::string> SimulatedSite::Requests() const {
  std::lock_guard guard(lock_);
  return requests_;
}

void SimulatedSite::HoldRequests(bool hold) {
  {
    std::lock_guard guard(lock_);
    held_ = hold;
  }
  letGo_.notify_all();
}

int SimulatedSite::RequestsWaiting() const {
  std::lock_guard guard(lock_);
  return held_ ? waiting_ : 0;
}

SimulatedRegistry::SimulatedRegistry(const Scenario& scenario)
    : readOnly_(scenario.runKeyReadOnly) {
  if (scenario.runValue) values_[KeyOf(kRunKey, "lmrawifiqd")] = *scenario.runValue;
}

std::string SimulatedRegistry::KeyOf(std::string_view keyPath, std::string_view valueName) {
  return Folded(keyPath) + '\n' + Folded(valueName);
}

bool SimulatedRegistry::ValueExists(std::string_view keyPath, std::string_view valueName) {
  return Value(keyPath, valueName).has_value();
}

bool SimulatedRegistry::WriteString(std::string_view keyPath, std::string_view valueName,
                                    std::string_view data) {
  std::lock_guard guard(lock_);
  ++changes_;
  if (readOnly_) return false;
  values_[KeyOf(keyPath, valueName)] = std::string(data);
  return true;
}

bool SimulatedRegistry::DeleteValue(std::string_view keyPath, std::string_view valueName) {
  std::lock_guard guard(lock_);
  ++changes_;
  return !readOnly_ && values_.erase(KeyOf(keyPath, valueName)) > 0;
}

bool SimulatedRegistry::DeleteSubkey(std::string_view, std::string_view) {
  // The machine has no subkeys below its values' keys.
  std::lock_guard guard(lock_);
  ++changes_;
  return false;
}

std::optional<std::string> SimulatedRegistry::Value(std::string_view keyPath,
                                                    std::string_view valueName) const {
  std::lock_guard guard(lock_);
  const auto value = values_.find(KeyOf(keyPath, valueName));
  if (value == values_.end()) return std::nullopt;
  return value->second;
}

void SimulatedRegistry::SetReadOnly(bool readOnly) {
  std::lock_guard guard(lock_);
  readOnly_ = readOnly;
}

int SimulatedRegistry::Changes() const {
  std::lock_guard guard(lock_);
  return changes_;
}

SimulatedLogonTasks::SimulatedLogonTasks(const Scenario& scenario)
    : refused_(scenario.logonTaskRefused) {
  if (scenario.logonTask) programs_[Folded("lmrawifiqd")] = *scenario.logonTask;
}

bool SimulatedLogonTasks::Register(std::string_view taskName, std::string_view programPath) {
  std::lock_guard guard(lock_);
  ++changes_;
  if (refused_) return false;
  programs_[Folded(taskName)] = std::string(programPath);
  return true;
}

std::optional<std::string> SimulatedLogonTasks::RegisteredProgram(std::string_view taskName) {
  std::lock_guard guard(lock_);
  const auto task = programs_.find(Folded(taskName));
  if (task == programs_.end()) return std::nullopt;
  return task->second;
}

bool SimulatedLogonTasks::Delete(std::string_view taskName) {
  std::lock_guard guard(lock_);
  ++changes_;
  programs_.erase(Folded(taskName));
  return true;
}

void SimulatedLogonTasks::SetRefused(bool refused) {
  std::lock_guard guard(lock_);
  refused_ = refused;
}

int SimulatedLogonTasks::Changes() const {
  std::lock_guard guard(lock_);
  return changes_;
}

}  // namespace lumora::platform::sim
