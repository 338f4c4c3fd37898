#include "exec/worker_context.h"

namespace lumora::exec {

namespace {

thread_local WorkerState* tCurrentWorker = nullptr;

}  // namespace

WorkerScope::WorkerScope(WorkerState& worker) { tCurrentWorker = &worker; }

WorkerScope::~WorkerScope() { tCurrentWorker = nullptr; }

WorkerState* CurrentWorker() { return tCurrentWorker; }

bool CurrentWorkerEnded() { return tCurrentWorker && tCurrentWorker->stop.StopRequested(); }

void ThrowIfWorkerEnded() {
  if (CurrentWorkerEnded()) throw WorkerEnded{};
}

bool RunUnlessEnded(const std::function<void()>& step) {
  WorkerState* worker = tCurrentWorker;
  if (!worker) {
    step();
    return true;
  }
  std::lock_guard guard(worker->stepLock);
  if (worker->stop.StopRequested()) return false;
  step();
  return true;
}

}  // namespace lumora::exec
