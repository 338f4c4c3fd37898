#pragma once
// What code running on a worker thread knows of its worker: whether it has been ended,
// the short steps that must happen whole or not at all, and the calls into the platform
// that a stop path waits for. File writes and long platform walks use this without the
// command runner or the UI queue.

#include <functional>
#include <mutex>
#include <type_traits>

#include "platform/stop_signal.h"

namespace lumora::exec {

// Thrown inside an ended worker at its next wait, command or checked step, to take it
// out of its routine; the worker's thread catches it. Code that runs on workers lets
// it pass.
struct WorkerEnded {};

// The part of a worker that the code it runs can see.
struct WorkerState {
  platform::StopSignal stop;
  // Held while a step of the worker takes effect; an end takes it too, so an end never
  // lands in the middle of a step. Recursive because a worker may end itself.
  std::recursive_mutex stepLock;
  // How many platform calls the worker is inside now (PlatformCallScope); read and
  // written under the lock of stop, whose waits see every change.
  int platformCalls = 0;
  // While set, the end runs it under stepLock (WakeOnEnd).
  std::function<void()> onEnd;
};

// Binds the calling thread to a worker for as long as it lives.
class WorkerScope {
 public:
  explicit WorkerScope(WorkerState& worker);
  ~WorkerScope();
  WorkerScope(const WorkerScope&) = delete;
  WorkerScope& operator=(const WorkerScope&) = delete;
};

// The calling thread's worker, or nullptr on any other thread.
WorkerState* CurrentWorker();

// Marks the worker ended, from any thread, and wakes what WakeOnEnd registered.
void EndWorker(WorkerState& worker);

// True on a worker thread whose worker has been ended; false on every other thread.
bool CurrentWorkerEnded();
// The opposite, as the platform's waits take it (their keepGoing).
inline bool CurrentWorkerGoesOn() { return !CurrentWorkerEnded(); }

// Throws WorkerEnded when the calling thread's worker has been ended: the check that a
// long walk makes between its steps.
void ThrowIfWorkerEnded();

// Runs step unless the calling thread's worker has been ended, and keeps the end
// waiting while it runs, so that a step is either done whole before the end or not at
// all. Returns whether it ran. Steps are short (a file replace).
bool RunUnlessEnded(const std::function<void()>& step);

// One call of the calling worker into the platform, for as long as the scope lives. An
// ended worker makes none: the scope throws WorkerEnded instead. A call under way is
// counted in the worker's platformCalls, so that a stop path can wait until the ended
// worker has left it before it undoes what the worker was doing. Scopes nest; on any
// other thread a scope does nothing.
class PlatformCallScope {
 public:
  PlatformCallScope();
  ~PlatformCallScope();
  PlatformCallScope(const PlatformCallScope&) = delete;
  PlatformCallScope& operator=(const PlatformCallScope&) = delete;

 private:
  WorkerState* worker_;
};

// Runs call as one platform call (above) and returns what it returns. An end that came
// while it ran takes the worker out right after it, so that a walk the end cut short is
// never taken for a whole one. The visitor of a platform walk opens no call of its own:
// it answers false once CurrentWorkerEnded(), and the walk stops by that answer.
template <typename Call>
std::invoke_result_t<Call&> PlatformCall(Call&& call) {
  PlatformCallScope scope;
  if constexpr (std::is_void_v<std::invoke_result_t<Call&>>) {
    call();
    ThrowIfWorkerEnded();
  } else {
    std::invoke_result_t<Call&> result = call();
    ThrowIfWorkerEnded();
    return result;
  }
}

// While it lives, the end of the calling thread's worker also runs wake, under the
// worker's step lock (so wake is short and never waits): how a worker that waits on
// something other than its stop signal, such as a message box, is woken by its end.
// Throws WorkerEnded when the worker has been ended already. On any other thread it
// does nothing.
class WakeOnEnd {
 public:
  explicit WakeOnEnd(std::function<void()> wake);
  ~WakeOnEnd();
  WakeOnEnd(const WakeOnEnd&) = delete;
  WakeOnEnd& operator=(const WakeOnEnd&) = delete;

 private:
  WorkerState* worker_;
};

}  // namespace lumora::exec
