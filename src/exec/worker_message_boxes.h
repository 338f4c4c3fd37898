#pragma once
// The message boxes as the program's code shows them. On a worker, the end of the
// worker closes the box it shows and takes the worker out with WorkerEnded, and an
// ended worker shows none; elsewhere a box is just shown.

#include "ui/message_boxes.h"

namespace lumora::exec {

class WorkerMessageBoxes final : public ui::MessageBoxes {
 public:
  explicit WorkerMessageBoxes(ui::MessageBoxes& boxes) : boxes_(boxes) {}

  int Show(std::string_view text, std::string_view title, unsigned style) override;
  int ShowClosable(std::string_view text, std::string_view title, unsigned style,
                   ui::BoxClose& close) override;

 private:
  ui::MessageBoxes& boxes_;
};

}  // namespace lumora::exec
