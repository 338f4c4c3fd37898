#pragma once
// The button "扫码连接" and its window. The button shows exactly while the start button
// says the hotspot runs, and the window closes as soon as it says otherwise, so that no
// way of stopping (the button, a failed restart, the system, the way out) leaves a code
// on screen for a network that is gone.

#include "hotspot/hotspot.h"
#include "ui/join_code.h"
#include "ui/main_window.h"

namespace lumora::app {

class JoinCodeOffer final : ui::ModelObserver {
 public:
  JoinCodeOffer(ui::MainWindow& main, ui::JoinCodeWindow& window, const hotspot::Hotspot& hotspot);
  ~JoinCodeOffer() override;
  JoinCodeOffer(const JoinCodeOffer&) = delete;
  JoinCodeOffer& operator=(const JoinCodeOffer&) = delete;

 private:
  void OnControlChanged(ui::Control& control, ui::Change change) override;
  void OnWindowChanged(ui::WindowModel&, ui::WindowChange) override {}
  void Open();

  ui::MainWindow& main_;
  ui::JoinCodeWindow& window_;
  const hotspot::Hotspot& hotspot_;
};

}  // namespace lumora::app
