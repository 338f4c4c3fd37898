#include "ui/message_boxes.h"

namespace lumora::ui {

namespace {

constexpr unsigned kMessageButtons = 0xF;

}  // namespace

int DeclineAnswer(unsigned style) {
  switch (style & kMessageButtons) {
    case kMessageOk:
      return kAnswerOk;
    case kMessageYesNo:
      return kAnswerNo;
    default:
      return kAnswerCancel;  // every other set the program shows has Cancel
  }
}

void BoxClose::Request() {
  std::lock_guard guard(lock_);
  if (requested_) return;
  requested_ = true;
  if (closeBox_) closeBox_();
}

bool BoxClose::Requested() const {
  std::lock_guard guard(lock_);
  return requested_;
}

void BoxClose::Attach(std::function<void()> closeBox) {
  std::lock_guard guard(lock_);
  closeBox_ = std::move(closeBox);
  if (requested_) closeBox_();
}

void BoxClose::Detach() {
  std::lock_guard guard(lock_);
  closeBox_ = nullptr;
}

}  // namespace lumora::ui
