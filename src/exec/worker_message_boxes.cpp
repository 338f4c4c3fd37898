#include "exec/worker_message_boxes.h"

#include "exec/worker_context.h"

namespace lumora::exec {

int WorkerMessageBoxes::Show(std::string_view text, std::string_view title, unsigned style) {
  if (!CurrentWorker()) return boxes_.Show(text, title, style);
  ui::BoxClose close;
  return ShowClosable(text, title, style, close);
}

int WorkerMessageBoxes::ShowClosable(std::string_view text, std::string_view title, unsigned style,
                                     ui::BoxClose& close) {
  const WakeOnEnd closeOnEnd([&close] { close.Request(); });
  const int answer = boxes_.ShowClosable(text, title, style, close);
  // A box the end closed was not answered: the worker must not act on it.
  ThrowIfWorkerEnded();
  return answer;
}

}  // namespace lumora::exec
