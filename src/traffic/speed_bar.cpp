#include "traffic/speed_bar.h"

#include "netconfig/adapter_toolkit.h"
#include "text/number_text.h"

namespace lumora::traffic {

namespace {

constexpr std::uint64_t kKilobyte = 1024;
constexpr std::uint64_t kMostKilobytesShown = 999;
// A bar closer than this to the bottom of the screen opens its menu above itself.
constexpr int kMenuRoomBelow = 130;
// Where the menu points: the middle of the bar, at its top or its bottom edge.
constexpr ui::Point kMenuAbove{77, 0};
constexpr ui::Point kMenuBelow{77, 22};
constexpr std::uint32_t kTopmostBlinkMs = 500;
// Where Windows keeps a minimised window: never a place to remember.
constexpr int kMinimisedPlace = -32000;

}  // namespace

std::string SpeedText(std::uint64_t bytes) {
  const std::uint64_t kilobytes = bytes / kKilobyte;
  if (kilobytes > kMostKilobytesShown)
    return text::FixedTwoDecimals(static_cast<double>(kilobytes) / kKilobyte) + "MB/S";
  return std::to_string(kilobytes) + ".0KB/S";
}

SpeedBar::SpeedBar(ui::SpeedBarWindow& bar, ui::MainWindow& main, settings::Settings& settings,
                   platform::NetworkPorts& ports, platform::SystemFacts& system,
                   exec::ExecServices& exec, ui::Skin& skin, ProgramActions actions)
    : bar_(bar),
      main_(main),
      settings_(settings),
      ports_(ports),
      system_(system),
      exec_(exec),
      skin_(skin),
      actions_(std::move(actions)) {
  bar_.时钟流量.onTick = [this] { RefreshSpeed(); };
  bar_.onMoved = [this] { PositionChanged(); };
  bar_.透明标签1.onDoubleClick = [this] { ShowMainFromSpeedBar(); };
  bar_.透明标签1.onRightButtonPressed = [this] { OpenSpeedBarMenu(); };
  bar_.气球提示框1.onLinkChosen = [this](std::string_view message) { SpeedBarMenuChosen(message); };
  main_.选择框显示流量.onClick = [this] { SpeedBarOptionChanged(); };
  bar_.AddObserver(this);
}

SpeedBar::~SpeedBar() { bar_.RemoveObserver(this); }

void SpeedBar::OnControlChanged(ui::Control& control, ui::Change change) {
  // However the timer was stopped (the bar hidden, the hotspot stopped), the next tick
  // would otherwise show the bytes of the whole pause as one second's.
  if (&control == &bar_.时钟流量 && change == ui::Change::Interval && !bar_.时钟流量.Running())
    received_ = sent_ = {};
}

void SpeedBar::PrepareSpeedBar() {
  skin_.RemoveSkin(bar_);
  bar_.透明标签1.SetTip(kSpeedBarTip);
  const platform::ScreenSize screen = system_.PrimaryScreenSize();
  const std::string stored =
      settings_.ReadSetting(settings::kSpeedBarPosition.section, settings::kSpeedBarPosition.key,
                            settings::SpeedBarPositionDefault(screen.width, screen.height));
  if (const auto place = settings::ParsePoint(stored)) {
    ui::Rect rect = bar_.Geometry();
    rect.left = place->first;
    rect.top = place->second;
    bar_.SetGeometry(rect);
  }
  // Applying the stored place writes nothing back; every move from now on does.
  positionRestored_ = true;
  exists_ = true;
  bar_.时钟流量.SetInterval(kSpeedBarMs);
}

void SpeedBar::PositionChanged() {
  const ui::Rect& rect = bar_.Geometry();
  if (!positionRestored_ || bar_.Minimised() || rect.left <= kMinimisedPlace ||
      rect.top <= kMinimisedPlace) {
    return;
  }
  settings_.Write(settings::kSpeedBarPosition, settings::FormatPoint(rect.left, rect.top));
}

std::string SpeedBar::SpeedSince(const Reading& previous, const Reading& last) {
  // Readings of different countings (the first, one after a gap, one after a reset of
  // the counters) have no speed between them.
  if (!previous.readable || !last.readable || last.bytes < previous.bytes) return SpeedText(0);
  return SpeedText(last.bytes - previous.bytes);
}

void SpeedBar::RefreshSpeed() {
  const std::string hosted = main_.编辑框虚拟网卡.Text();
  if (hosted.empty()) return;
  const Reading previousReceived = received_, previousSent = sent_;
  // A toolkit of its own for each tick, and two queries, one for each counter.
  netconfig::AdapterToolkit toolkit(ports_);
  const netconfig::InterfaceRecord forReceived = toolkit.InterfaceRowOfConnection(hosted);
  received_ = {forReceived.row.index != 0, forReceived.row.inOctets};
  const netconfig::InterfaceRecord forSent = toolkit.InterfaceRowOfConnection(hosted);
  sent_ = {forSent.row.index != 0, forSent.row.outOctets};
  // The interface sends what the devices download.
  bar_.下载透明标签.SetText(SpeedSince(previousSent, sent_));
  bar_.上传透明标签.SetText(SpeedSince(previousReceived, received_));
}

void SpeedBar::SpeedBarOptionChanged() {
  const bool shown = main_.选择框显示流量.Checked();
  settings_.Write(settings::kSpeedBarShown, shown ? settings::kYes : settings::kNo);
  if (!exists_) return;
  bar_.SetVisible(shown);
  bar_.时钟流量.SetInterval(shown ? kSpeedBarMs : 0);
}

void SpeedBar::ShowMainFromSpeedBar() {
  actions_.showMainCentred();
  // A moment on top of every window shows the user where it is; it is not activated.
  if (main_.Topmost()) return;
  main_.SetTopmost(true);
  exec_.WaitPumping(kTopmostBlinkMs);
  main_.SetTopmost(false);
}

void SpeedBar::OpenSpeedBarMenu() {
  const int screenHeight = system_.PrimaryScreenSize().height;
  const bool nearBottom = bar_.Geometry().top > screenHeight - kMenuRoomBelow;
  bar_.气球提示框1.ShowAt(nearBottom ? kMenuAbove : kMenuBelow, kSpeedBarMenu);
}

void SpeedBar::SpeedBarMenuChosen(std::string_view message) {
  if (message == "m7") {
    main_.SetVisible(true);
    main_.SetMinimised(false);
  } else if (message == "m8") {
    bar_.SetVisible(false);
    bar_.时钟流量.SetInterval(0);
    main_.选择框显示流量.SetChecked(false);
    settings_.Write(settings::kSpeedBarShown, settings::kNo);
  } else if (message == "m9") {
    actions_.exitProgram();
  }
}

}  // namespace lumora::traffic
