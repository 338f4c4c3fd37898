#include "exec/worker_context.h"

namespace lumora::exec {

namespace {

thread_local WorkerState* tCurrentWorker = nullptr;

}  // namespace

WorkerScope::WorkerScope(WorkerState& worker) { tCurrentWorker = &worker; }

WorkerScope::~WorkerScope() { tCurrentWorker = nullptr; }

WorkerState* CurrentWorker() { return tCurrentWorker; }

void EndWorker(WorkerState& worker) {
  std::lock_guard guard(worker.stepLock);
  worker.stop.RequestStop();
  if (worker.onEnd) worker.onEnd();
}

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

PlatformCallScope::PlatformCallScope() : worker_(tCurrentWorker) {
  if (!worker_) return;
  // The end is requested under the same lock: either it came first and no call starts,
  // or the call is counted before the end returns and a stop path waits for it.
  bool ended = false;
  worker_->stop.Publish([&] {
    ended = worker_->stop.StopRequested();
    if (!ended) ++worker_->platformCalls;
  });
  if (ended) throw WorkerEnded{};
}

PlatformCallScope::~PlatformCallScope() {
  if (worker_) worker_->stop.Publish([this] { --worker_->platformCalls; });
}

WakeOnEnd::WakeOnEnd(std::function<void()> wake) : worker_(tCurrentWorker) {
  if (!worker_) return;
  std::lock_guard guard(worker_->stepLock);
  if (worker_->stop.StopRequested()) throw WorkerEnded{};
  worker_->onEnd = std::move(wake);
}

WakeOnEnd::~WakeOnEnd() {
  if (!worker_) return;
  std::lock_guard guard(worker_->stepLock);
  worker_->onEnd = nullptr;
}

}  // namespace lumora::exec
