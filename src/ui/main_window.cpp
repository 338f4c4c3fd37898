#include "ui/main_window.h"

namespace lumora::ui {

// The title is set by the start-up, once no other instance holds it.
MainWindow::MainWindow() : WindowModel("LumoraMainWindow", {50, 50, 430, 316}, "") {}

SpeedBarWindow::SpeedBarWindow() : WindowModel("LumoraSpeedBar", {0, 0, 155, 23}, "") {
  SetLook({.captioned = false,
           .toolWindow = true,
           .backdrop = Backdrop::SpeedBar,
           .shapeTransparent = {255, 0, 255},
           .dragFace = &透明标签1});
  SetTopmost(true);
  constexpr Colour kWhite{255, 255, 255};
  下载透明标签.SetTextColour(kWhite);
  上传透明标签.SetTextColour(kWhite);
}

}  // namespace lumora::ui
