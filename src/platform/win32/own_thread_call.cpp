#include "platform/win32/own_thread_call.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/failure_report.h"

namespace lumora::platform::win32 {

namespace {

// What both sides share; kept until the later of the two is done with it.
struct Answer {
  std::mutex lock;
  std::condition_variable given;
  std::optional<std::string> text;
};

}  // namespace

std::string CallOnOwnThread(std::string_view where, std::function<std::string()> call,
                            const std::function<bool()>& keepGoing,
                            const std::function<void()>& giveUp) {
  auto answer = std::make_shared<Answer>();
  try {
    std::thread([answer, call = std::move(call), where = std::string(where)] {
      std::string text;
      // A detached thread has nobody to hand an exception to.
      try {
        text = call();
      } catch (...) {
        ReportCurrentException(where);
      }
      {
        std::lock_guard guard(answer->lock);
        answer->text = std::move(text);
      }
      answer->given.notify_all();
    }).detach();
  } catch (const std::system_error& error) {
    ReportFailure(where, std::string("no thread for the call: ") + error.what());
    return {};
  }
  std::unique_lock guard(answer->lock);
  for (;;) {
    if (answer->given.wait_for(guard, std::chrono::milliseconds(20),
                               [&] { return answer->text.has_value(); }))
      return std::move(*answer->text);
    guard.unlock();
    if (!keepGoing()) {
      if (giveUp) giveUp();
      return {};
    }
    guard.lock();
  }
}

}  // namespace lumora::platform::win32
