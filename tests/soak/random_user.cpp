#include "soak/random_user.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "clients/list_files.h"
#include "platform/sim/end_state.h"
#include "settings/settings.h"
#include "shutdown/timed_shutdown.h"
#include "support/headless_program.h"
#include "text/ipv4.h"

namespace lumora::soak {

namespace {

using namespace ui;
using testing::HeadlessProgram;

constexpr std::string_view kMacs[] = {"3C-A6-F6-12-5B-01", "F0-18-98-AA-20-02", "8C-85-90-1E-33-03",
                                      "D4-61-9D-07-44-04", "A4-83-E7-5C-55-05"};
constexpr std::string_view kHostNames[] = {"android-5a1b2c3d.mshome.net", "iPhone.mshome.net",
                                           "客厅的平板", "", "LAPTOP-7Q2.mshome.net"};
// The real time a session may take, held calls and slow look-ups included.
constexpr auto kSessionLimit = std::chrono::seconds(90);
// The clock times a step of the user lets pass, from a moment to an hour.
constexpr std::uint32_t kPauses[] = {50,   200,   500,   1000,  1000,   3000,    3000,   6500,
                                     6500, 20000, 20000, 60000, 300000, 1800000, 3600000};
// The check after the last second of a countdown comes this long after it.
constexpr std::uint64_t kPowerOffGraceMs = 3000;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// What a user types: plain and hostile texts, numbers and names of every length.
std::vector<std::string> TypedTexts() {
  std::vector<std::string> texts = testing::HostileTexts();
  for (std::string_view more :
       {"咖啡店 WiFi", "家里的WiFi", "mylove", "12345678", "密码12345678", "0.5", "1", "2", "-3",
        "0.0003", "99999999999", "abc", "  a b c d  ", "家里的网络家里的网络家里的网络家里",
        "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"})
    texts.emplace_back(more);
  return texts;
}

// Names a user gives a device: never empty and free of control characters, so that the
// name the file must hold is exactly the one typed.
constexpr std::string_view kDeviceNames[] = {"爸爸的手机", "a+b",    "C:\\x\\", "\"quoted\"",
                                             "%PATH% & |", "平板 2", "x"};

class RandomUser {
 public:
  RandomUser(PcKind kind, std::uint64_t seed) : kind_(kind), rng_(seed) {}
  SessionResult Play();

 private:
  std::string ScenarioText();
  void PrepareFiles();
  void Act(bool inPump);
  void DuringPump();
  bool Chance(int percent) { return Pick(100) < percent; }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  template <typename T, std::size_t N>
  const T& PickOf(const T (&items)[N]) {
    return items[static_cast<std::size_t>(Pick(static_cast<int>(N)))];
  }
  void Note(std::string action);
  void Break(std::string what) { result_.breaks.push_back(std::move(what)); }
  MainWindow& w() { return program_->Main(); }
  bool Exited() const { return program_->exitCode.has_value(); }

  void ClickSomething();
  void TypeSomething();
  void UseList();
  void NameDevice();
  void UseTray();
  void UseSpeedBar();
  void LetTimePass();
  void HoldSomething();
  void StartSecondCopy();
  void LeaveSomehow();
  void ChooseFrom(Menu& menu);
  void NoteCountdownChange();
  void NoteSettingsOf(const Control& control);
  bool OnScreen(const Control& control);

  enum class Presence { Connected, Pinned };
  // The scenario's devices that the neighbour table shows, connected or pinned.
  std::map<std::string, Presence> DevicesInTable();
  void CheckSettledScan();
  // The way out has run: the workers it ended are given a moment to leave, without the
  // UI thread, as after the real program's message loop.
  platform::sim::EndState EndStateAfterWayOut();
  void CheckEnd(const platform::sim::EndState& end);
  void CheckFiles();
  void CheckPowerOff(std::size_t requests);

  PcKind kind_;
  std::mt19937_64 rng_;
  SessionResult result_;
  std::unique_ptr<HeadlessProgram> program_;
  std::vector<platform::sim::SimClient> clients_;
  std::string foundTimeout_;
  bool acting_ = false;
  std::uint64_t nextPumpActionAt_ = 0;

  std::set<std::string> blacklist_, whitelist_;
  std::map<std::string, std::string> names_;
  // What the user last set, by the setting's key; read back with the key's default, as
  // the program reads it.
  std::map<const settings::SettingKey*, std::string> settings_;
  struct CountdownEvent {
    std::uint64_t at = 0;
    bool armed = false;
    std::uint64_t tickMs = 0;  // from the arming until the last second shows
  };
  std::vector<CountdownEvent> countdown_;
  std::optional<std::uint64_t> wayOutAt_;
};

std::string RandomUser::ScenarioText() {
  std::string text;
  auto line = [&text](std::string_view l) { (text += l) += "\n"; };
  const int devices = 2 + Pick(4);
  for (int i = 0; i < devices; ++i) {
    platform::sim::SimClient c;
    c.mac = std::string(kMacs[i]);
    c.ip = "192.168.137." + std::to_string(20 + i);
    c.hostName = std::string(kHostNames[i]);
    c.joinMs = static_cast<std::uint64_t>(Pick(240)) * 1000;
    c.leaveMs = Chance(40) ? c.joinMs + (30 + static_cast<std::uint64_t>(Pick(3600))) * 1000 : 0;
    const int lookUp = Pick(4);
    line("[client" + std::to_string(i + 1) + "]");
    line("mac=" + c.mac);
    line("ip=" + c.ip);
    if (!c.hostName.empty()) line("host=" + c.hostName);
    line(lookUp == 0 ? "lookup=fails" : lookUp == 1 ? "lookup=4000" : "lookup=0");
    line("join=" + std::to_string(c.joinMs / 1000));
    line("leave=" + std::to_string(c.leaveMs / 1000));
    line("down=" + std::to_string(Pick(400000)));
    line("up=" + std::to_string(Pick(60000)));
    clients_.push_back(c);
  }
  line("[site]");
  const int site = Pick(4);
  if (site == 0) line("reachable=no");
  if (site == 1) line("delay=20000");
  if (kind_ == PcKind::LaterMobile) {
    line("[mobile_hotspot]");
    line("start_ms=" + std::string(PickOf({"0", "1500", "8000", "25000"})));
    line(std::string("timeout_setting=") + (Chance(80) ? "yes" : "no"));
  }
  if (kind_ != PcKind::Windows7) text += std::string(testing::kLaterPc) + "\n";
  if (kind_ == PcKind::LaterMobile) text += std::string(testing::kDriverWithoutHostedNetwork);
  return text;
}

void RandomUser::PrepareFiles() {
  auto putList = [this](std::string_view path, int percent, std::string_view name,
                        std::set<std::string>& entries) {
    std::string text;
    for (std::string_view mac : kMacs) {
      if (!Chance(percent)) continue;
      text += std::string(mac) + "+" + std::string(name) + "\r\n";
      entries.insert(std::string(mac));
    }
    if (!text.empty()) program_->PutFile(path, text);
  };
  putList(clients::kBlacklistPath, 20, "被拦截的", blacklist_);
  putList(clients::kWhitelistPath, 30, "允许的", whitelist_);
  std::string ini;
  if (Chance(30)) ini += "[monitor]\r\nmonitor=不监控\r\n";
  if (Chance(20)) ini += "[qidong]\r\nqidong=y\r\n";
  if (Chance(30)) ini += "[流量条]\r\n是否开=是\r\n";
  if (!ini.empty()) program_->PutFile(settings::kSettingsPath, ini);
}

void RandomUser::Note(std::string action) {
  result_.actions.push_back(std::to_string(program_->clock.NowMs()) + " " + std::move(action));
}

SessionResult RandomUser::Play() {
  const std::string scenario = ScenarioText();
  program_ = std::make_unique<HeadlessProgram>(platform::sim::ParseScenario(scenario));
  PrepareFiles();
  platform::sim::SimulatedNetwork& network = program_->pc.network;
  {
    // The idle timeout as the program finds it: the same words as the end state's.
    const auto mobile = network.MobileHotspot();
    foundTimeout_ = !mobile.timeoutSetting ? "none" : mobile.timeoutEnabled ? "on" : "off";
  }
  program_->dispatcher.SetEventSource([this] {
    program_->timers.FireDue();
    DuringPump();
  });

  // Held calls and look-ups are let go a moment later, as a slow system would.
  std::atomic<bool> sessionOver{false};
  std::thread slowSystem([&] {
    while (!sessionOver) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (network.CallHeld()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        network.ReleaseHeldCall();
      }
      if (network.NameLookUpsWaiting() > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        network.HoldNameLookUps(false);
      }
    }
  });
  const auto began = std::chrono::steady_clock::now();
  try {
    Note("start");
    if (program_->Start()) {
      const int steps = 20 + Pick(80);
      for (int step = 0; step < steps && !Exited(); ++step) Act(false);
      if (!Exited()) LeaveSomehow();
      // A way out that the program refused leaves it running: the close box then ends it.
      if (!Exited()) RequestClose(w());
      if (!Exited()) Break("the close box did not end the program");
    }
    sessionOver = true;
    network.ReleaseHeldCall();
    network.HoldNameLookUps(false);
    const platform::sim::EndState end = EndStateAfterWayOut();
    program_->EndProgram();
    CheckEnd(end);
    CheckFiles();
  } catch (const std::exception& e) {
    Break(std::string("exception: ") + e.what());
  } catch (...) {
    Break("an exception that is no standard one reached the user's hand");
  }
  sessionOver = true;
  network.ReleaseHeldCall();
  network.HoldNameLookUps(false);
  slowSystem.join();
  if (std::chrono::steady_clock::now() - began > kSessionLimit)
    Break("the session took longer than its time");
  return std::move(result_);
}

bool RandomUser::OnScreen(const Control& control) {
  if (!control.Visible() || !control.Enabled()) return false;
  const WindowModel& window = control.Owner();
  if (!window.Visible() || window.Minimised()) return false;
  if (control.GroupBox() && !control.GroupBox()->Visible()) return false;
  const int page = control.TabPage();
  return &window != &w() || page < 0 || page == w().选择夹1.CurrentTab();
}

void RandomUser::DuringPump() {
  // While a handler waits, the user's hand goes on: now and then one more action, by the
  // clock, so that a seed plays about the same session again.
  if (acting_ || Exited() || program_->clock.NowMs() < nextPumpActionAt_) return;
  nextPumpActionAt_ = program_->clock.NowMs() + 200 + static_cast<std::uint64_t>(Pick(4000));
  if (!Chance(30)) return;
  Act(true);
}

void RandomUser::Act(bool inPump) {
  acting_ = true;
  struct Done {
    bool& acting;
    ~Done() { acting = false; }
  } done{acting_};
  // A hidden window is brought back from the tray.
  if ((!w().Visible() || w().Minimised()) && Chance(50)) return UseTray();
  const int roll = Pick(100);
  if (roll < 28) return ClickSomething();
  if (roll < 34) {
    const int tab = Pick(5);
    Note("tab " + std::to_string(tab));
    return ChooseTab(w().选择夹1, tab);
  }
  if (roll < 44) return TypeSomething();
  if (roll < 54) return UseList();
  if (roll < 60) return NameDevice();
  if (roll < 67) return UseTray();
  if (roll < 71) return UseSpeedBar();
  if (inPump) {
    // Windows may end the session in the middle of anything, a close included.
    if (roll < 73) {
      if (!wayOutAt_) wayOutAt_ = program_->clock.NowMs();
      Note("the Windows session ends");
      EndSession(w());
    }
    return;
  }
  if (roll < 93) return LetTimePass();
  if (roll < 94) return StartSecondCopy();
  if (roll < 98) return HoldSomething();
  return LeaveSomehow();
}

void RandomUser::ClickSomething() {
  std::vector<Control*> candidates;
  for (Control* c : w().Controls()) {
    switch (c->Kind()) {
      case ControlKind::Button:
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
      case ControlKind::Hyperlink:
      case ControlKind::DrawPanel:
        if (OnScreen(*c)) candidates.push_back(c);
        break;
      default:
        break;
    }
  }
  if (candidates.empty()) return;
  // The start button is what a user presses most.
  if (OnScreen(w().按钮开始) && Chance(35)) candidates = {&w().按钮开始};
  Control& c = *candidates[static_cast<std::size_t>(Pick(static_cast<int>(candidates.size())))];
  Note("click " + c.Name());
  switch (c.Kind()) {
    case ControlKind::Button:
      Click(static_cast<Button&>(c));
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      Click(static_cast<CheckBox&>(c));
      break;
    case ControlKind::Hyperlink:
      Release(static_cast<Hyperlink&>(c));
      break;
    default:
      Release(static_cast<PictureControl&>(c));
      break;
  }
  if (&c == &w().选择框关机) NoteCountdownChange();
  NoteSettingsOf(c);
}

void RandomUser::TypeSomething() {
  static const std::vector<std::string> texts = TypedTexts();
  const std::string& text = texts[static_cast<std::size_t>(Pick(static_cast<int>(texts.size())))];
  switch (Pick(6)) {
    case 0:
    case 1: {
      EditBox& box = Chance(50) ? w().编辑框名称 : w().编辑框密码;
      if (!OnScreen(box)) return;
      Note("type " + box.Name() + " " + text);
      Type(box, text);
      if (Chance(30)) LoseFocus(box);
      return;
    }
    case 2: {
      ComboBox& box = w().组合框_关机;
      if (!OnScreen(box)) return;
      Note("type 组合框_关机 " + text + " and Enter");
      Type(box, text);
      PressKey(box, 13);
      return NoteCountdownChange();
    }
    case 3: {
      ComboBox& box = w().组合框_关机;
      if (!OnScreen(box)) return;
      const int item = Pick(static_cast<int>(box.Items().size()));
      Note("choose 组合框_关机 " + std::to_string(item));
      Choose(box, item);
      return NoteCountdownChange();
    }
    case 4: {
      ComboBox& box = w().组合框1;
      if (!OnScreen(box)) return;
      if (Chance(50) && !box.Items().empty()) {
        const int item = Pick(static_cast<int>(box.Items().size()));
        Note("choose 组合框1 " + std::to_string(item));
        Choose(box, item);
      } else {
        Note("type 组合框1 " + text);
        Type(box, text);
      }
      LoseFocus(box);
      return;
    }
    default: {
      Slider& slider = w().滑块条色调;
      if (!OnScreen(slider)) return;
      const int position = Pick(341);
      Note("slider " + std::to_string(position));
      MoveSlider(slider, position);
      return NoteSettingsOf(slider);
    }
  }
}

void RandomUser::ChooseFrom(Menu& menu) {
  std::vector<MenuItem*> items;
  for (MenuItem* item : menu.Items())
    if (item->Enabled() && item->Visible()) items.push_back(item);
  if (items.empty() || Chance(15)) return Note("menu " + menu.Name() + " dismissed");
  MenuItem& item = *items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
  Note("menu " + item.Name());
  if (&item == &w().菜单_退出 && !wayOutAt_) wayOutAt_ = program_->clock.NowMs();
  Choose(item);
}

void RandomUser::UseList() {
  const int which = Pick(3);
  ListView& list = which == 0 ? w().超级列表框1 : which == 1 ? w().超级列表框2 : w().超级列表框3;
  if (!OnScreen(list) || list.RowCount() == 0) return;
  const int macColumn = which == 0 ? 2 : which == 1 ? 1 : 0;
  const int row = Pick(static_cast<int>(list.RowCount()));
  // Several rows only where the menu acts on all of them.
  if (which == 0 && list.RowCount() > 1 && Chance(30))
    SelectRows(list, {0, list.RowCount() - 1});
  else
    SelectRows(list, {static_cast<std::size_t>(row)});
  Menu& menu = which == 0 ? w().加黑 : which == 1 ? w().取消黑 : w().移白;
  const int popUps = menu.PopUpCount();
  Note("right click " + list.Name() + " row " + std::to_string(row));
  RightClickRow(list, row);
  if (menu.PopUpCount() == popUps) return;
  // The rows the menu is about are those selected as it opens.
  std::vector<std::string> macs;
  for (std::size_t selected : list.SelectedRows())
    macs.push_back(Upper(list.Cell(selected, macColumn)));
  // The menu's own loop keeps timers and posts running while it is open.
  if (Chance(40)) {
    const std::uint32_t open = PickOf({300u, 2000u, 7000u});
    Note("menu open for " + std::to_string(open));
    program_->RunFor(open);
  }
  if (Exited()) return;
  std::vector<MenuItem*> items = menu.Items();
  if (Chance(15)) return Note("menu dismissed");
  MenuItem& item = *items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
  Note("menu " + item.Name() + " for " + macs.front());
  Choose(item);
  if (&item == &w().加黑_拉入黑名单) blacklist_.insert(macs.begin(), macs.end());
  if (&item == &w().加黑_复制到白名单) whitelist_.insert(macs.front());
  if (&item == &w().取消黑_取消黑名单) blacklist_.erase(macs.front());
  if (&item == &w().移白_移出白名单) whitelist_.erase(macs.front());
}

void RandomUser::NameDevice() {
  ListView& list = w().超级列表框1;
  if (!OnScreen(list) || list.RowCount() == 0) return;
  const int row = Pick(static_cast<int>(list.RowCount()));
  const std::string mac = Upper(list.Cell(static_cast<std::size_t>(row), 2));
  Note("double click 超级列表框1 row " + std::to_string(row));
  DoubleClickCell(list, {row, 3, {0, 17 * row}, 17});
  EditBox& editor = w().编辑框设备;
  if (!editor.Visible()) return;
  const std::string name(PickOf(kDeviceNames));
  Note("name " + mac + " " + name);
  Type(editor, name);
  // A look-up may finish while the user types.
  if (Chance(40)) program_->RunFor(PickOf({100u, 1000u, 5000u}));
  if (Exited()) return;
  if (Chance(50))
    ReleaseKey(editor, 13);
  else
    LoseFocus(editor);
  names_[mac] = name;
}

void RandomUser::UseTray() {
  TrayIcon& tray = w().托盘图标1;
  if (tray.Image() == TrayImage::None) return;
  switch (Pick(5)) {
    case 4:
      // A notice, or one shown before: a click on it brings up the users' tab.
      Note("tray notice click");
      return ClickTray(tray, TrayClick::Notice);
    case 0:
      Note("tray left click");
      return ClickTray(tray, TrayClick::Left);
    case 1:
      Note("tray double click");
      return ClickTray(tray, TrayClick::LeftDouble);
    case 2: {
      Note("tray right click");
      const int popUps = w().菜单.PopUpCount();
      ClickTray(tray, TrayClick::Right);
      if (w().菜单.PopUpCount() != popUps && !Exited()) ChooseFrom(w().菜单);
      return;
    }
    default: {
      if (!w().Visible() || w().Minimised()) return;
      Note("right button on the window");
      const int popUps = w().菜单.PopUpCount();
      ReleaseRightButton(w());
      if (w().菜单.PopUpCount() != popUps && !Exited()) ChooseFrom(w().菜单);
      return;
    }
  }
}

void RandomUser::UseSpeedBar() {
  SpeedBarWindow& bar = program_->App().SpeedBar();
  if (!bar.Visible()) return;
  switch (Pick(3)) {
    case 0:
      Note("speed bar double click");
      return DoubleClick(bar.透明标签1);
    case 1:
      Note("speed bar press");
      return PressLeftButton(bar.透明标签1);
    default: {
      const int shown = bar.气球提示框1.ShownCount();
      Note("speed bar right press");
      PressRightButton(bar.透明标签1);
      if (bar.气球提示框1.ShownCount() == shown || Exited()) return;
      const std::string_view message = PickOf({"m7", "m8", "m9"});
      Note("speed bar menu " + std::string(message));
      if (message == "m9" && !wayOutAt_) wayOutAt_ = program_->clock.NowMs();
      ChooseBalloonLink(bar.气球提示框1, message);
      if (message == "m8") NoteSettingsOf(w().选择框显示流量);
      return;
    }
  }
}

void RandomUser::LetTimePass() {
  const std::uint32_t pause = PickOf(kPauses);
  Note("wait " + std::to_string(pause));
  program_->RunFor(pause);
  if (Exited()) return;
  if (kind_ == PcKind::LaterMobile && Chance(10)) {
    Note("the system switches the mobile hotspot off");
    program_->pc.network.SwitchMobileHotspotOff();
  }
  if (w().按钮开始.Text() == "关闭WiFi" && Chance(30)) CheckSettledScan();
}

void RandomUser::StartSecondCopy() {
  // The first copy's window is there for the system to find, or not yet when both were
  // started at the same moment; either way the second ends and the first goes on.
  const bool windowThere = Chance(70);
  if (windowThere) program_->pc.instances.AddWindowTitled(std::string(kMainWindowTitle));
  Note(windowThere ? "a second copy starts" : "a second copy starts beside the first");
  app::Application::ProgramHost host;
  host.loadWindow = [](WindowModel&) {};
  host.endProgram = [](int) {};
  bool goesOn;
  {
    app::Application second(program_->platform, program_->dispatcher, program_->messages, host);
    goesOn = second.Start();
  }
  if (goesOn) Break("a second copy went on beside the first");
}

void RandomUser::HoldSomething() {
  if (Chance(50)) {
    const int call = 1 + Pick(8);
    Note("hold platform call " + std::to_string(call));
    program_->pc.network.HoldCall(call);
  } else {
    Note("hold name look-ups");
    program_->pc.network.HoldNameLookUps(true);
  }
}

void RandomUser::LeaveSomehow() {
  if (!wayOutAt_) wayOutAt_ = program_->clock.NowMs();
  switch (Pick(4)) {
    case 0:
      Note("close box");
      return RequestClose(w());
    case 1:
      Note("tray menu 退出");
      return Choose(w().菜单_退出);
    case 2:
      Note("the Windows session ends");
      return EndSession(w());
    default: {
      SpeedBarWindow& bar = program_->App().SpeedBar();
      if (!bar.Visible()) {
        Note("close box");
        return RequestClose(w());
      }
      Note("speed bar 退出WiFi");
      return ChooseBalloonLink(bar.气球提示框1, "m9");
    }
  }
}

void RandomUser::NoteCountdownChange() {
  CountdownEvent event;
  event.at = program_->clock.NowMs();
  event.armed = w().选择框关机.Checked() && w().时钟关机.Running();
  if (event.armed) {
    const auto countdown = shutdown::CountdownForHours(w().组合框_关机.Text());
    const std::uint64_t total = countdown ? static_cast<std::uint64_t>(countdown->hours) * 3600 +
                                                countdown->minutes * 60 + countdown->seconds
                                          : 0;
    // From all zeros a countdown goes on from 59 seconds.
    event.tickMs = (total >= 1 ? total - 1 : 59) * 1000;
  }
  countdown_.push_back(event);
}

void RandomUser::NoteSettingsOf(const Control& control) {
  if (&control == &w().选择框_显示密码)
    settings_[&settings::kShowPassPhrase] = w().选择框_显示密码.Checked() ? "1" : "2";
  if (&control == &w().选择框_启动)
    settings_[&settings::kAutoStart] = w().选择框_启动.Checked() ? "y" : "n";
  if (&control == &w().选择框显示流量)
    settings_[&settings::kSpeedBarShown] = w().选择框显示流量.Checked() ? "是" : "否";
  if (&control == &w().选择框_新设备提醒)
    settings_[&settings::kJoinNotices] = w().选择框_新设备提醒.Checked() ? "是" : "否";
  if (&control == &w().单选框黑 || &control == &w().单选框白)
    settings_[&settings::kMonitorMode] = w().单选框黑.Checked() ? "监控" : "不监控";
  if (&control == &w().滑块条色调 || &control == &w().按钮色调)
    settings_[&settings::kSkinColor] = std::to_string(w().滑块条色调.Position());
}

std::map<std::string, RandomUser::Presence> RandomUser::DevicesInTable() {
  std::map<std::string, Presence> devices;
  const auto table = program_->pc.network.NeighbourTable();
  if (!table) return devices;
  for (const platform::sim::SimClient& c : clients_) {
    const auto address = text::ParseIpv4(c.ip);
    for (const platform::NeighbourRow& row : *table) {
      if (!address || row.address != *address) continue;
      bool zero = true;
      std::string mac;
      for (std::uint32_t i = 0; i < row.physicalAddressLength && i < 8; ++i) {
        zero = zero && row.physicalAddress[i] == 0;
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (i > 0) mac += '-';
        mac += kHex[row.physicalAddress[i] >> 4];
        mac += kHex[row.physicalAddress[i] & 15];
      }
      if (row.type == 4 && zero) devices[c.mac] = Presence::Pinned;
      if (row.type == 3 && mac == c.mac) devices[c.mac] = Presence::Connected;
    }
  }
  return devices;
}

void RandomUser::CheckSettledScan() {
  // No hand and no slow system while the scan settles: what is checked is the scan's
  // own work, on the devices that were there before it began.
  acting_ = true;
  const std::map<std::string, Presence> before = DevicesInTable();
  program_->RunFor(6500);
  program_->Settle();
  acting_ = false;
  if (Exited() || w().按钮开始.Text() != "关闭WiFi") return;
  const bool blacklistMode = w().单选框黑.Checked();
  std::set<std::string> black, white;
  auto macsOf = [this](std::string_view path, std::set<std::string>& into) {
    for (const std::string& line :
         clients::SplitLines(clients::ReadListText(program_->countingDrive, path)))
      if (line.size() >= 17) into.insert(Upper(line.substr(0, 17)));
  };
  macsOf(clients::kBlacklistPath, black);
  macsOf(clients::kWhitelistPath, white);
  for (const auto& [mac, presence] : DevicesInTable()) {
    if (!before.contains(mac)) continue;
    if (blacklistMode && black.contains(mac) && presence == Presence::Connected)
      Break("blacklisted " + mac + " is connected and not pinned after a scan");
    if (!blacklistMode && !white.contains(mac) && presence == Presence::Connected)
      Break(mac + " is off the whitelist and not pinned after a scan");
    if (!blacklistMode && white.contains(mac) && presence == Presence::Pinned)
      Break("whitelisted " + mac + " is pinned after a scan");
  }
  if (blacklistMode) {
    for (const auto& row : w().超级列表框1.Rows())
      if (row.size() > 2 && black.contains(Upper(row[2])))
        Break("blacklisted " + row[2] + " is listed as allowed after a scan");
  }
}

platform::sim::EndState RandomUser::EndStateAfterWayOut() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (program_->App().Exec().RunningWorkers() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return program_->EndState();
}

void RandomUser::CheckFiles() {
  // The program has ended; what is on drive C now is what the user finds next time.
  const settings::Settings storedSettings(program_->countingDrive);
  static const std::regex kEntry("^[0-9A-Fa-f]{2}(-[0-9A-Fa-f]{2}){5}\\+[^\r\n]*$");
  auto entries = [&](std::string_view path) {
    const std::string text = clients::ReadListText(program_->countingDrive, path);
    std::set<std::string> macs;
    for (const std::string& line : clients::SplitLines(text)) {
      if (line.empty()) continue;
      if (!std::regex_match(line, kEntry)) {
        Break(std::string(path) + " holds a line out of its format: " + line);
        continue;
      }
      macs.insert(Upper(line.substr(0, 17)));
    }
    return macs;
  };
  if (entries(clients::kBlacklistPath) != blacklist_)
    Break("the blacklist does not hold what the user put there");
  if (entries(clients::kWhitelistPath) != whitelist_)
    Break("the whitelist does not hold what the user put there");
  const std::string names =
      clients::ReadListText(program_->countingDrive, clients::kDeviceNamePath);
  entries(clients::kDeviceNamePath);
  for (const auto& [mac, name] : names_) {
    std::string recorded;
    bool found = false;
    for (const std::string& line : clients::SplitLines(names)) {
      if (Upper(line).starts_with(mac)) {
        recorded = line.size() > 18 ? line.substr(18) : "";
        found = true;
        break;
      }
    }
    if (!found || recorded != name)
      Break("the name file holds \"" + recorded + "\" for " + mac + ", not \"" + name + "\"");
  }
  for (const auto& [key, value] : settings_) {
    const std::string stored = storedSettings.Read(*key);
    if (stored != value)
      Break("setting " + std::string(key->section) + "/" + std::string(key->key) + " is \"" +
            stored + "\", not \"" + value + "\"");
  }
}

void RandomUser::CheckPowerOff(std::size_t requests) {
  if (requests == 0) return;
  std::size_t due = 0;
  const std::uint64_t now = program_->clock.NowMs();
  for (std::size_t i = 0; i < countdown_.size(); ++i) {
    const CountdownEvent& arming = countdown_[i];
    if (!arming.armed) continue;
    const std::uint64_t lastSecond = arming.at + arming.tickMs;
    const std::uint64_t check = lastSecond + kPowerOffGraceMs;
    if (now < lastSecond) continue;
    // Whatever came clearly before the check cancels this countdown.
    const bool cancelled = (i + 1 < countdown_.size() && countdown_[i + 1].at + 20 < check) ||
                           (wayOutAt_ && *wayOutAt_ + 20 < check);
    if (!cancelled) ++due;
  }
  if (requests > due)
    Break(std::to_string(requests) + " power-off requests, " + std::to_string(due) +
          " countdowns that reached their end");
}

void RandomUser::CheckEnd(const platform::sim::EndState& end) {
  if (!end.publicConnection.empty() || !end.privateConnection.empty())
    Break("after the way out sharing is on: public \"" + end.publicConnection + "\", private \"" +
          end.privateConnection + "\"");
  if (end.hostedAllowed) Break("after the way out the hosted network is allowed");
  if (end.hostedRunning) Break("after the way out the hosted network runs");
  if (end.mobileOn) Break("after the way out the mobile hotspot is on");
  if (end.mobileTimeout != foundTimeout_)
    Break("after the way out the mobile hotspot's idle timeout is " + end.mobileTimeout +
          ", found " + foundTimeout_);
  if (end.workersRunning > 0)
    Break(std::to_string(end.workersRunning) + " workers still run after the way out");
  CheckPowerOff(end.powerOffRequests);
}

}  // namespace

std::string_view PcKindName(PcKind kind) {
  switch (kind) {
    case PcKind::Windows7:
      return "windows7";
    case PcKind::LaterHosted:
      return "later-hosted";
    case PcKind::LaterMobile:
      return "later-mobile";
  }
  return "?";
}

SessionResult PlaySession(PcKind kind, std::uint64_t seed) { return RandomUser(kind, seed).Play(); }

}  // namespace lumora::soak
