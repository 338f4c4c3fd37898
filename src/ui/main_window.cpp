#include "ui/main_window.h"

namespace lumora::ui {

// The title is set by the start-up, once no other instance holds it.
MainWindow::MainWindow() : WindowModel("LumoraMainWindow", {50, 50, 430, 316}, "") {}

SpeedBarWindow::SpeedBarWindow() : WindowModel("LumoraSpeedBar", {0, 0, 155, 23}, "") {}

}  // namespace lumora::ui
