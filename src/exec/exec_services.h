#pragma once
// Console commands, worker threads and pumping waits: the services every subsystem
// uses to act on the network without freezing the window.
//
// Workers end cooperatively. EndWorkerThread marks the worker ended and returns; from
// then on nothing the worker does takes effect: its posts to the UI are dropped (also
// those still queued), it starts no command (a running one is terminated), no platform
// call and no other worker, it writes no file, a message box it shows is closed, and it
// leaves at its next wait, command or platform call. A stop path that must undo what
// the worker was doing first waits until it has left the platform call under way
// (WaitOutOfPlatformCall).

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "exec/worker_context.h"
#include "platform/clock_port.h"
#include "platform/console_port.h"
#include "ui/ui_dispatcher.h"

namespace lumora::exec {

struct Worker;
// A kept worker handle; empty when none was kept.
using WorkerHandle = std::shared_ptr<Worker>;

class ExecServices {
 public:
  ExecServices(platform::ConsolePort& console, ui::UiDispatcher& dispatcher,
               platform::Clock& clock);
  // Ends every worker and waits until each has left.
  ~ExecServices();
  ExecServices(const ExecServices&) = delete;
  ExecServices& operator=(const ExecServices&) = delete;

  // Runs the command line with no window and returns all it wrote to standard output
  // and standard error, decoded from the console code page; empty when it cannot be
  // started. On the UI thread events keep being processed while it runs.
  std::string RunConsoleCommand(std::string_view commandLine);

  // Starts routine on a new thread. With keepHandle the handle is returned for a
  // later EndWorkerThread; otherwise the result is empty. An ended worker starts none:
  // it leaves with WorkerEnded instead.
  WorkerHandle StartWorkerThread(std::function<void()> routine, bool keepHandle);

  // Ends the worker (see above). False for an empty handle. A worker may end itself.
  bool EndWorkerThread(const WorkerHandle& handle);

  // Waits until the worker, once ended, is inside no platform call; at once for an
  // empty handle and on the worker itself. On the UI thread the window's events keep
  // flowing meanwhile.
  void WaitOutOfPlatformCall(const WorkerHandle& handle);

  // Waits ms. On the UI thread the window's events keep flowing meanwhile; on a worker
  // the wait ends early when the worker is ended. Always true.
  bool WaitPumping(std::uint32_t ms);

  // Runs task on the UI thread, after everything posted before it. Posts of an ended
  // worker are dropped.
  void PostToUi(std::function<void()> task);

  // Runs step on the UI thread and waits until it has run: how a worker reads the
  // controls, and changes them when what follows depends on the change. On the UI
  // thread it runs at once. An ended worker leaves the wait with WorkerEnded.
  void RunOnUi(const std::function<void()>& step);

  template <typename Result>
  Result ReadOnUi(const std::function<Result()>& read) {
    Result result{};
    RunOnUi([&] { result = read(); });
    return result;
  }

  // Waits until every worker started so far has left its routine.
  void JoinAllWorkers();
  // Ends every worker started so far (see EndWorkerThread), kept or not.
  void EndAllWorkers();
  // The workers started so far that have not left their routine yet.
  int RunningWorkers();

  ui::UiDispatcher& Dispatcher() { return dispatcher_; }
  platform::Clock& Clock() { return clock_; }

 private:
  WorkerHandle StartThread(std::function<void()> routine);
  void ReapFinishedWorkers();

  platform::ConsolePort& console_;
  ui::UiDispatcher& dispatcher_;
  platform::Clock& clock_;
  std::mutex workersLock_;
  std::vector<std::shared_ptr<Worker>> workers_;
};

// True when the calling thread is the worker of that handle.
bool IsCurrentWorker(const WorkerHandle& handle);
// True once the worker of that handle has left its routine; false for an empty handle.
bool WorkerLeft(const WorkerHandle& handle);

}  // namespace lumora::exec
