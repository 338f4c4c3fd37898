#include "app/skin_colour.h"

#include <string>

#include "app/application.h"

namespace lumora::app {

namespace {

constexpr int kHueOffset = 160;
constexpr int kDefaultPosition = 310;

// Every position change re-skins at once and is stored, so the next start shows the
// same tone.
void ColourPositionChanged(Application& app) {
  ui::MainWindow& w = app.Main();
  const int position = w.滑块条色调.Position();
  app.Skin().ApplySkin(position - kHueOffset);
  app.Settings().Write(settings::kSkinColor, std::to_string(position));
  w.透明标签位置.SetText("[" + std::to_string(position - kHueOffset) + "]");
}

}  // namespace

void ConnectSkinColour(Application& app) {
  ui::MainWindow& w = app.Main();
  w.滑块条色调.onPositionChanged = [&app] { ColourPositionChanged(app); };
  w.按钮色调.onClick = [&app] {
    app.Main().滑块条色调.SetPosition(kDefaultPosition);
    ColourPositionChanged(app);
  };
}

}  // namespace lumora::app
