#pragma once
// What code running on a worker thread knows of its worker: whether it has been ended,
// and the short steps that must happen whole or not at all. File writes and long
// platform walks use this without the command runner or the UI queue.

#include <functional>
#include <mutex>

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

// True on a worker thread whose worker has been ended; false on every other thread.
bool CurrentWorkerEnded();

// Throws WorkerEnded when the calling thread's worker has been ended: the check that a
// long walk makes between its steps.
void ThrowIfWorkerEnded();

// Runs step unless the calling thread's worker has been ended, and keeps the end
// waiting while it runs, so that a step is either done whole before the end or not at
// all. Returns whether it ran. Steps are short (a file replace).
bool RunUnlessEnded(const std::function<void()>& step);

}  // namespace lumora::exec
