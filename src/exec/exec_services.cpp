#include "exec/exec_services.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/failure_report.h"
#include "platform/stop_signal.h"
#include "text/cp936.h"

namespace lumora::exec {

struct Worker : WorkerState {
  std::atomic<bool> finished{false};
  std::thread thread;
  std::weak_ptr<Worker> self;  // lets a post keep its worker alive while queued
};

namespace {

// The calling thread's worker as the runner started it; every worker thread is one.
Worker* ThisWorker() { return static_cast<Worker*>(CurrentWorker()); }

}  // namespace

bool WorkerLeft(const WorkerHandle& handle) { return handle && handle->finished; }

bool IsCurrentWorker(const WorkerHandle& handle) {
  return handle && static_cast<WorkerState*>(handle.get()) == CurrentWorker();
}

ExecServices::ExecServices(platform::ConsolePort& console, ui::UiDispatcher& dispatcher,
                           platform::Clock& clock)
    : console_(console), dispatcher_(dispatcher), clock_(clock) {}

ExecServices::~ExecServices() {
  std::vector<std::shared_ptr<Worker>> workers;
  {
    std::lock_guard guard(workersLock_);
    workers.swap(workers_);
  }
  for (auto& worker : workers) EndWorkerThread(worker);
  for (auto& worker : workers)
    if (worker->thread.joinable()) worker->thread.join();
}

std::string ExecServices::RunConsoleCommand(std::string_view commandLine) {
  // A command is a platform call: a stop path waits until the ended worker's command
  // has been terminated.
  const PlatformCallScope call;
  Worker* worker = ThisWorker();
  std::function<bool()> keepGoing;
  if (dispatcher_.IsUiThread()) {
    keepGoing = [this] {
      dispatcher_.ProcessPendingEvents();
      return true;
    };
  } else if (worker) {
    keepGoing = [worker] { return !worker->stop.StopRequested(); };
  } else {
    keepGoing = [] { return true; };
  }
  const std::string output = console_.Run(commandLine, keepGoing);
  ThrowIfWorkerEnded();
  return text::Utf8FromCp936(output);
}

WorkerHandle ExecServices::StartWorkerThread(std::function<void()> routine, bool keepHandle) {
  WorkerHandle handle;
  // From a worker, the start is one of its steps: an end lands before it, and nothing
  // starts, or after it.
  if (!RunUnlessEnded([&] { handle = StartThread(std::move(routine)); })) throw WorkerEnded{};
  return keepHandle ? handle : WorkerHandle{};
}

WorkerHandle ExecServices::StartThread(std::function<void()> routine) {
  ReapFinishedWorkers();
  auto worker = std::make_shared<Worker>();
  worker->self = worker;
  Worker* raw = worker.get();
  // The thread is handed to its worker under the lock that reaping takes: a worker that
  // leaves at once is not reaped before its thread can be joined.
  std::lock_guard guard(workersLock_);
  workers_.push_back(worker);
  raw->thread = std::thread([raw, routine = std::move(routine)] {
    WorkerScope scope(*raw);
    try {
      routine();
    } catch (const WorkerEnded&) {
      // The worker was ended at a wait or a command: nothing more to do.
    } catch (...) {
      // A worker's failure ends only that worker, and is reported.
      platform::ReportCurrentException("worker");
    }
    raw->finished = true;
  });
  return worker;
}

bool ExecServices::EndWorkerThread(const WorkerHandle& handle) {
  if (!handle) return false;
  EndWorker(*handle);
  return true;
}

void ExecServices::WaitOutOfPlatformCall(const WorkerHandle& handle) {
  if (!handle || IsCurrentWorker(handle)) return;
  const auto out = [&handle] { return handle->platformCalls == 0; };
  if (!dispatcher_.IsUiThread()) {
    handle->stop.WaitIgnoringStop(out);
    return;
  }
  // The slice bounds how long the window's events wait; the worker's leaving ends the
  // wait at once.
  if (handle->stop.WaitIgnoringStop(out, std::chrono::milliseconds(0))) return;
  do {
    dispatcher_.ProcessPendingEvents();
  } while (!handle->stop.WaitIgnoringStop(out, std::chrono::milliseconds(10)));
}

bool ExecServices::WaitPumping(std::uint32_t ms) {
  if (dispatcher_.IsUiThread()) {
    dispatcher_.WaitPumping(ms);
    return true;
  }
  ThrowIfWorkerEnded();
  clock_.SleepFor(ms, CurrentWorker() ? &CurrentWorker()->stop : nullptr);
  ThrowIfWorkerEnded();
  return true;
}

void ExecServices::PostToUi(std::function<void()> task) {
  Worker* worker = ThisWorker();
  if (!worker) {
    dispatcher_.Post(std::move(task));
    return;
  }
  std::lock_guard guard(worker->stepLock);
  if (worker->stop.StopRequested()) return;
  // The post is checked again when it runs: an end that comes while it is queued
  // drops it too.
  dispatcher_.Post([owner = worker->self.lock(), task = std::move(task)] {
    if (!owner->stop.StopRequested()) task();
  });
}

void ExecServices::RunOnUi(const std::function<void()>& step) {
  if (dispatcher_.IsUiThread()) {
    step();
    return;
  }
  ThrowIfWorkerEnded();
  // The step may refer to the worker's stack: it runs either whole while the worker
  // waits, or not at all. The handshake lives under the lock of the waiter's signal:
  // the worker's own, whose end wakes the wait, or one that never ends.
  struct Handshake {
    bool started = false, ran = false, abandoned = false;
  };
  auto handshake = std::make_shared<Handshake>();
  Worker* worker = ThisWorker();
  const std::shared_ptr<platform::StopSignal> signal =
      worker ? std::shared_ptr<platform::StopSignal>(worker->self.lock(), &worker->stop)
             : std::make_shared<platform::StopSignal>();
  PostToUi([handshake, signal, &step] {
    bool abandoned = false;
    signal->Publish([&] {
      abandoned = handshake->abandoned;
      handshake->started = !abandoned;
    });
    if (abandoned) return;
    // A step that throws has run as far as it goes: its worker is released all the same.
    struct Ran {
      Handshake& handshake;
      platform::StopSignal& signal;
      ~Ran() {
        signal.Publish([this] { handshake.ran = true; });
      }
    } ran{*handshake, *signal};
    step();
  });
  if (signal->WaitUntil([&] { return handshake->ran; })) return;
  // Ended while waiting: a step already under way is waited for, one not begun never
  // begins.
  bool started = false;
  signal->Publish([&] {
    started = handshake->started;
    handshake->abandoned = !started;
  });
  if (started) signal->WaitIgnoringStop([&] { return handshake->ran; });
  throw WorkerEnded{};
}

void ExecServices::JoinAllWorkers() {
  for (;;) {
    std::shared_ptr<Worker> pending;
    {
      std::lock_guard guard(workersLock_);
      for (auto& w : workers_)
        if (w->thread.joinable()) pending = w;
    }
    if (!pending) return;
    // A worker may be waiting for the UI thread to pump; keep the queue moving.
    while (!pending->finished) {
      if (dispatcher_.IsUiThread()) dispatcher_.ProcessPendingEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // A worker started by the events just processed reaps the finished ones: the join
    // is made under the same lock, once.
    std::lock_guard guard(workersLock_);
    if (pending->thread.joinable()) pending->thread.join();
  }
}

void ExecServices::EndAllWorkers() {
  std::vector<std::shared_ptr<Worker>> workers;
  {
    std::lock_guard guard(workersLock_);
    workers = workers_;
  }
  for (const auto& worker : workers) EndWorkerThread(worker);
}

int ExecServices::RunningWorkers() {
  std::lock_guard guard(workersLock_);
  return static_cast<int>(
      std::count_if(workers_.begin(), workers_.end(),
                    [](const std::shared_ptr<Worker>& w) { return !w->finished; }));
}

void ExecServices::ReapFinishedWorkers() {
  std::lock_guard guard(workersLock_);
  std::erase_if(workers_, [](const std::shared_ptr<Worker>& w) {
    if (!w->finished) return false;
    if (w->thread.joinable()) w->thread.join();
    return true;
  });
}

}  // namespace lumora::exec
