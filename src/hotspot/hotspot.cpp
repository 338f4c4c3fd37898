#include "hotspot/hotspot.h"

#include <chrono>
#include <future>
#include <optional>
#include <vector>

#include "exec/worker_context.h"
#include "netconfig/adapter_toolkit.h"
#include "netconfig/connection_discovery.h"
#include "netconfig/sharing_control.h"
#include "text/command_line.h"
#include "text/cp936.h"
#include "text/pattern_matcher.h"

namespace lumora::hotspot {

namespace {

constexpr int kAnimationMs = 500;
constexpr int kAccessControlMs = 6000;
constexpr int kSpeedBarMs = 1000;
constexpr int kMostAutomaticReruns = 3;
constexpr ui::Colour kStartedGreen{0, 128, 0};

constexpr ui::Point kNameBalloon{200, 90};
constexpr ui::Point kPassPhraseBalloon{200, 135};
constexpr ui::Point kAdministratorBalloon{210, 250};
constexpr ui::Point kConnectionBalloon{140, 40};
constexpr ui::Point kHostedConnectionBalloon{140, 95};
constexpr ui::Point kMobileSwitchedOffBalloonAt{200, 250};
constexpr int kMobileWatchMs = 5000;

constexpr std::size_t kMostSsidBytes = 32;
constexpr std::size_t kLeastPassPhraseBytes = 8;
constexpr std::size_t kMostPassPhraseBytes = 63;

constexpr std::string_view kStartCommand = "netsh wlan start hostednetwork";
constexpr std::string_view kStopCommand = "netsh wlan stop hostednetwork";
constexpr std::string_view kShowAddressesCommand = "netsh interface ipv4 show addresses";

constexpr std::string_view kUnableFailureHelp =
    "\r\n解决办法：\r\n①、电脑的无线网络开关是否打开。\r\n"
    "（如果开了，点开电脑右下角的网络图标能看到附近的无线网络，\r\n"
    "看不到就是没开，开关一般在F1-12那栏有个无线发射的标志，大部分电脑在F2，按组合键Fn+F2打开，"
    "也有的电脑是硬件开关）\r\n\r\n"
    "②、如果无线网络开关开了，还是提示这个，是因为无线网卡驱动太旧了，请下载驱动精灵升级 "
    "[无线网卡驱动] 到最新版。";

// The failure type of a hosted network that the WLAN service did not start, in the words
// netsh's answer begins with on Windows 7.
constexpr std::string_view kHostedNotStarted = "无法启动承载网络。";

// The cleaning of the name and pass phrase: the first three blanks go, later ones stay.
std::string RemoveFirstThreeSpaces(std::string text) {
  for (int removed = 0; removed < 3; ++removed) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) break;
    text.erase(blank, 1);
  }
  return text;
}

// Both animations stop and show their stopped pictures.
void ShowStoppedAnimations(ui::MainWindow& w) {
  w.时钟状态.SetInterval(0);
  w.图片框状态.Show(ui::Picture::StatusStopped);
  w.时钟_右下角灰动.SetInterval(0);
  w.托盘图标1.SetImage(ui::TrayImage::Normal);
}

// The start button as Stopped, and both animations stopped.
void ShowStoppedControls(ui::MainWindow& w) {
  w.按钮开始.SetText(kCaptionStopped);
  w.按钮开始.SetEnabled(true);
  ShowStoppedAnimations(w);
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

struct Refusal {
  ui::Point at;
  std::string_view text;
};

// The balloon that refuses the name and pass phrase typed, if one does. Lengths are those
// of what reaches the hosted network: the cleaned texts, counted in the bytes of code
// page 936. netsh cannot take a double quote inside its quoted arguments, and the SSID
// field holds 32 bytes.
std::optional<Refusal> InputRefusal(std::string_view name, std::string_view passPhrase,
                                    const Hotspot::Network& clean) {
  if (name.empty()) return Refusal{kNameBalloon, "您还没有输入WiFi名称哦！"};
  if (passPhrase.empty()) return Refusal{kPassPhraseBalloon, "您还没有输入密码哦！"};
  if (text::Cp936Length(clean.passPhrase) < kLeastPassPhraseBytes)
    return Refusal{kPassPhraseBalloon, "密码不能少于8位数！"};
  if (Contains(name, "\"")) return Refusal{kNameBalloon, "WiFi名称和密码不能包含双引号！"};
  if (Contains(passPhrase, "\""))
    return Refusal{kPassPhraseBalloon, "WiFi名称和密码不能包含双引号！"};
  if (text::Cp936Length(clean.name) > kMostSsidBytes)
    return Refusal{kNameBalloon, "WiFi名称不能超过32个字节！"};
  if (text::Cp936Length(clean.passPhrase) > kMostPassPhraseBytes)
    return Refusal{kPassPhraseBalloon, "密码不能超过63位！"};
  return std::nullopt;
}

// Each value is one argument that netsh reads back exactly: blanks, backslashes and
// all.
std::string ConfigureCommand(std::string_view name, std::string_view passPhrase) {
  return "netsh wlan set hostednetwork mode=allow ssid=" + text::QuoteArgument(name) +
         " key=" + text::QuoteArgument(passPhrase);
}

// Nothing for a name holding a double quote. The quoting would carry it, but netsh
// treats quotes inside its values in ways of its own, so the name would not surely
// reach it whole; it is refused as one in the network name or pass phrase is.
std::optional<std::string> FixedAddressCommand(std::string_view hosted) {
  if (Contains(hosted, "\"")) return std::nullopt;
  return "netsh interface ip set address name=" + text::QuoteArgument(hosted) +
         " source=static addr=192.168.137.1 mask=255.255.255.0 gwmetric=1";
}

}  // namespace

std::string TidyNetshOutput(std::string_view output) {
  if (output.starts_with("\r\n")) output.remove_prefix(2);
  if (output.ends_with("\r\n")) output.remove_suffix(2);
  text::PatternMatcher matcher;
  if (!matcher.Match("\\n\\s*\\r", output)) return std::string(output);
  return matcher.Replace("");
}

bool ConnectionOnDhcp(std::string_view showAddresses, std::string_view connection) {
  // The name is matched as literal text.
  text::PatternMatcher matcher;
  return matcher.Match(text::EscapeForPattern(connection) + ".*\\n.*DHCP.*", showAddresses) &&
         matcher.Count() > 0 && Contains(matcher.Value(1), "是");
}

Hotspot::Hotspot(netconfig::NetworkContext& net, ui::SpeedBarWindow& speedBar)
    : net_(net), speedBar_(speedBar), wlan_(net), mobile_(net) {
  net_.window.时钟_移动热点.onTick = [this] { MobileHotspotTick(); };
}

std::string Hotspot::SharingStatusText() const {
  std::lock_guard guard(shared_.lock);
  return shared_.sharingStatusText;
}

int Hotspot::StartRetryCount() const {
  std::lock_guard guard(shared_.lock);
  return shared_.startRetryCount;
}

exec::WorkerHandle Hotspot::StartWorkerHandle() const {
  std::lock_guard guard(shared_.lock);
  return shared_.startWorkerHandle;
}

void Hotspot::SetSharingStatusText(std::string_view text) {
  std::lock_guard guard(shared_.lock);
  shared_.sharingStatusText = std::string(text);
}

std::string Hotspot::LastNetshOutput() const {
  std::lock_guard guard(shared_.lock);
  return shared_.lastNetshOutput;
}

void Hotspot::SetLastNetshOutput(std::string output) {
  std::lock_guard guard(shared_.lock);
  shared_.lastNetshOutput = std::move(output);
}

void Hotspot::StartWorker(bool keepHandle) {
  // The start and its record are one step against the end in AbortHotspot: a re-run
  // that a run starts is either recorded before the end, and ended with it, or never
  // started. A restart's run, and one a new press found still under way, are kept apart,
  // so that the way out ends them too.
  std::lock_guard guard(shared_.lock);
  exec::WorkerHandle handle = net_.exec.StartWorkerThread([this] { HotspotStartSequence(); }, true);
  std::erase_if(shared_.otherRuns,
                [](const exec::WorkerHandle& run) { return exec::WorkerLeft(run); });
  if (!keepHandle) {
    shared_.otherRuns.push_back(std::move(handle));
    return;
  }
  // A re-run replaces the run that starts it, which leaves right after.
  if (shared_.startWorkerHandle && !exec::WorkerLeft(shared_.startWorkerHandle) &&
      !exec::IsCurrentWorker(shared_.startWorkerHandle))
    shared_.otherRuns.push_back(std::move(shared_.startWorkerHandle));
  shared_.startWorkerHandle = std::move(handle);
}

void Hotspot::StartButtonClicked() {
  ui::MainWindow& w = net_.window;
  if (w.按钮开始.Text() == kCaptionStopped) {
    // A second press before the run has shown itself (a double click) starts nothing:
    // two runs would use the sharing objects at once.
    if (pressPending_) return;
    {
      std::lock_guard guard(shared_.lock);
      shared_.startRetryCount = 0;
    }
    pressPending_ = true;
    StartWorker(true);
    return;
  }
  ClearWindowAndStopHotspot();
}

void Hotspot::ClearWindowAndStopHotspot() {
  ui::MainWindow& w = net_.window;
  w.超级列表框1.DeleteAllRows();
  w.超级链接框_重启.SetVisible(false);
  StopClientTimers();
  speedBar_.时钟流量.SetInterval(0);
  StopHotspot();
}

void Hotspot::StopClientTimers() {
  net_.window.时钟_黑.SetInterval(0);
  net_.window.时钟_白.SetInterval(0);
  net_.window.时钟流量统计.SetInterval(0);
  net_.window.时钟_移动热点.SetInterval(0);
}

void Hotspot::RunOffUiThread(const std::function<void()>& job) {
  if (!net_.exec.Dispatcher().IsUiThread()) return job();
  // The promise is kept when the worker leaves, however it leaves.
  struct Done {
    std::promise<void> left;
    ~Done() { left.set_value(); }
  };
  auto done = std::make_shared<Done>();
  std::future<void> left = done->left.get_future();
  net_.exec.StartWorkerThread(
      [&job, done]() mutable {
        const std::shared_ptr<Done> keep = std::move(done);
        job();
      },
      false);
  done.reset();
  while (left.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
    net_.exec.Dispatcher().ProcessPendingEvents();
}

void Hotspot::EndMobileWatch() {
  exec::WorkerHandle watch;
  {
    std::lock_guard guard(shared_.lock);
    watch = shared_.mobileWatchHandle;
  }
  if (!watch || exec::IsCurrentWorker(watch)) return;
  net_.exec.EndWorkerThread(watch);
  net_.exec.WaitOutOfPlatformCall(watch);
}

void Hotspot::MobileHotspotTick() {
  // One watch at a time: a restart may take longer than the timer's period.
  if (mobileWatchBusy_.exchange(true)) return;
  exec::WorkerHandle handle = net_.exec.StartWorkerThread(
      [this] {
        struct Idle {
          std::atomic<bool>& busy;
          ~Idle() { busy = false; }
        } idle{mobileWatchBusy_};
        if (mobile_.Check() != MobileHotspot::Watch::GaveUp) return;
        // One step on the UI thread: the stop ends this very worker.
        net_.exec.RunOnUi([&] {
          ClearWindowAndStopHotspot();
          net_.window.气球提示框1.ShowAt(kMobileSwitchedOffBalloonAt, kMobileSwitchedOffBalloon);
        });
      },
      true);
  std::lock_guard guard(shared_.lock);
  shared_.mobileWatchHandle = std::move(handle);
}

void Hotspot::FailStart(std::string_view failureType) {
  net_.messages.Show(
      "开启失败！失败类型：" + std::string(failureType) + std::string(kUnableFailureHelp),
      "开启失败", ui::kMessageOk | ui::kMessageIconInformation);
  AbortHotspot();
  ResetStoppedControls();
}

void Hotspot::ShowBalloon(ui::Point at, std::string_view text) {
  net_.exec.RunOnUi([&] { net_.window.气球提示框1.ShowAt(at, text); });
}

void Hotspot::ResetStoppedControls() {
  SetLastNetshOutput({});
  net_.exec.RunOnUi([&] { ShowStoppedControls(net_.window); });
}

std::string Hotspot::HostedConnection() {
  return net_.exec.ReadOnUi<std::string>([&] { return net_.window.编辑框虚拟网卡.Text(); });
}

void Hotspot::FindHostedConnection(void (*find)(netconfig::NetworkContext&),
                                   std::uint32_t pauseMs) {
  // The hosted network's connection may show up late: three more looks, then the
  // manual override of the settings file has the last word.
  find(net_);
  for (int retry = 0; retry < 3 && HostedConnection().empty(); ++retry) {
    find(net_);
    net_.exec.WaitPumping(pauseMs);
  }
  if (net_.settings.Read(settings::kHostedNameOverride) != settings::kOverrideOn) return;
  const std::string name = net_.settings.Read(settings::kHostedNameOverrideName);
  net_.exec.RunOnUi([&] { net_.window.编辑框虚拟网卡.SetText(name); });
}

void Hotspot::HotspotStartSequence() {
  // The press is answered once the button shows the start, or once the run has left.
  struct Answered {
    std::atomic<bool>& pending;
    ~Answered() { pending = false; }
  } answered{pressPending_};
  const std::optional<Network> clean = CheckInput();
  if (!clean) return;
  ShowStarting();
  const std::string connection =
      net_.exec.ReadOnUi<std::string>([&] { return net_.window.组合框1.Text(); });
  ResetSharingWhenNeeded(connection);
  KeepInput(*clean);

  // netsh is given the texts without their outer blanks; the WLAN service and the mobile
  // hotspot take them as they stand.
  Network network = *clean;
  if (net_.Windows7()) {
    network = {std::string(netconfig::TrimSpaces(clean->name)),
               std::string(netconfig::TrimSpaces(clean->passPhrase))};
    if (!ConfigureOnWindows7(network)) return ResetStoppedControls();
  }
  if (!CheckConnection(connection)) return ResetStoppedControls();

  StartPath path = StartPath::HostedNetwork;
  if (net_.Windows7()) {
    StartOnWindows7();
  } else {
    path = StartThroughWlanService(*clean, connection);
    if (path == StartPath::Refused) return;
  }
  if (path == StartPath::MobileHotspot) {
    const std::optional<Network> accepted = StartMobileHotspot(*clean);
    if (!accepted) return ResetStoppedControls();
    network = *accepted;
  }

  if (const std::string output = LastNetshOutput(); Contains(output, "无法"))
    return FailStart(TidyNetshOutput(output));
  if (path == StartPath::HostedNetwork && !ConfirmSharing()) return;
  ShowRunning(network, path == StartPath::MobileHotspot);
}

std::optional<Hotspot::Network> Hotspot::CheckInput() {
  ui::MainWindow& w = net_.window;
  std::string name, passPhrase;
  net_.exec.RunOnUi([&] {
    name = w.编辑框名称.Text();
    passPhrase = w.编辑框密码.Text();
  });
  const Network clean{RemoveFirstThreeSpaces(name), RemoveFirstThreeSpaces(passPhrase)};
  if (const std::optional<Refusal> refusal = InputRefusal(name, passPhrase, clean)) {
    ShowBalloon(refusal->at, refusal->text);
    return std::nullopt;
  }
  return clean;
}

void Hotspot::ShowStarting() {
  ui::MainWindow& w = net_.window;
  // Only input that passed stops what runs: a restart refused for a text typed during
  // the start leaves the running hotspot with its scan and its speed bar.
  net_.exec.RunOnUi([&] {
    trayFrames_.Restart();
    statusFrames_.Restart();
    StopClientTimers();
    speedBar_.时钟流量.SetInterval(0);
  });
  SetSharingStatusText("");

  net_.exec.RunOnUi([&] {
    pressPending_ = false;
    w.按钮开始.SetEnabled(false);
    w.按钮开始.SetText(kCaptionStarting);
    w.时钟状态.SetInterval(kAnimationMs);
    w.时钟_右下角灰动.SetInterval(kAnimationMs);
  });
}

void Hotspot::ResetSharingWhenNeeded(const std::string& connection) {
  bool reset;
  {
    std::lock_guard guard(shared_.lock);
    reset = connection != shared_.connectionAtLastStop || shared_.restartRequested ||
            shared_.sharingFailedLastTime;
  }
  if (reset) {
    ResetSharing();
    net_.exec.WaitPumping(100);
  }
  std::lock_guard guard(shared_.lock);
  shared_.restartRequested = false;
}

void Hotspot::KeepInput(const Network& clean) {
  net_.exec.RunOnUi([&] {
    net_.window.编辑框名称.SetText(clean.name);
    net_.window.编辑框密码.SetText(clean.passPhrase);
  });
  net_.settings.Write(settings::kNetworkName, clean.name);
  net_.settings.Write(settings::kPassPhrase, clean.passPhrase);
}

bool Hotspot::ConfigureOnWindows7(const Network& network) {
  const std::string output =
      net_.exec.RunConsoleCommand(ConfigureCommand(network.name, network.passPhrase));
  SetLastNetshOutput(output);
  if (!Contains(output, "管理员")) return true;
  ShowBalloon(kAdministratorBalloon,
              "无法开启！共享需要管理员权限，检测到您的电脑没有管理员权限。\r\n"
              "请参照界面上的【帮助信息】设置管理权限后重新运行。");
  return false;
}

bool Hotspot::CheckConnection(const std::string& connection) {
  if (!netconfig::TrimSpaces(connection).empty()) return true;
  ShowBalloon(kConnectionBalloon, "本机连网方式为空，请在【设置中心】选择一下！");
  return false;
}

void Hotspot::StartOnWindows7() {
  exec::ExecServices& exec = net_.exec;
  FindHostedConnection(netconfig::FindHostedConnectionWin7, 200);
  exec.WaitPumping(100);
  netconfig::SwitchOnSharing(net_);
  SetLastNetshOutput(exec.RunConsoleCommand(kStartCommand));
  exec.WaitPumping(100);
  const std::string addresses = exec.RunConsoleCommand(kShowAddressesCommand);
  // On automatic addressing the hosted connection gets the address sharing gives its
  // private side.
  const std::string hosted = HostedConnection();
  const bool onDhcp = ConnectionOnDhcp(addresses, hosted);
  const std::optional<std::string> fixedAddress = FixedAddressCommand(hosted);
  if (onDhcp && fixedAddress) {
    exec.RunConsoleCommand(*fixedAddress);
    exec.WaitPumping(500);
    exec.RunConsoleCommand(kStopCommand);
    netconfig::SwitchOnSharing(net_);
    exec.WaitPumping(1000);
    exec.RunConsoleCommand(kStartCommand);
  } else if (onDhcp) {
    // Nobody typed the name just now: the balloon says why the address is not set,
    // and the start goes on without it; the sharing check decides as always.
    ShowBalloon(kHostedConnectionBalloon, "发射WiFi网卡名称不能包含双引号，未设置固定IP地址！");
  }
}

Hotspot::StartPath Hotspot::StartThroughWlanService(const Network& clean,
                                                    const std::string& connection) {
  const HostedNetworkSupport support = mobile_.DriverSupport();
  if (support == HostedNetworkSupport::No && mobile_.TakesConnection(connection))
    return StartPath::MobileHotspot;
  wlan_.StartHostedNetwork(clean.name, clean.passPhrase, connection);
  const std::optional<int> state = wlan_.State();
  if (support == HostedNetworkSupport::Unknown && state == kHostedNetworkUnavailable &&
      mobile_.TakesConnection(connection)) {
    // A driver whose list said nothing of the hosted network has shown it has none;
    // what the start switched on is undone first.
    wlan_.StopHostedNetwork();
    return StartPath::MobileHotspot;
  }
  if (state && *state != kHostedNetworkActive) {
    // Sharing the public side alone would pass the check that follows: a hosted network
    // the service reports not running is a failed start.
    FailStart(kHostedNotStarted);
    return StartPath::Refused;
  }
  FindHostedConnection(netconfig::FindHostedConnectionLater, 300);
  return StartPath::HostedNetwork;
}

std::optional<Hotspot::Network> Hotspot::StartMobileHotspot(const Network& clean) {
  // The system's access point keeps the name in UTF-8, where a Chinese character
  // takes three bytes, not two.
  if (clean.name.size() > kMostSsidBytes) {
    ShowBalloon(kNameBalloon, "WiFi名称不能超过32个字节！");
    return std::nullopt;
  }
  // The system's mobile hotspot shares the connection itself, and its own answer
  // tells whether it runs.
  if (const std::optional<std::string> failure = mobile_.Start(clean.name, clean.passPhrase)) {
    net_.messages.Show(*failure, "开启失败", ui::kMessageOk | ui::kMessageIconInformation);
    return std::nullopt;
  }
  const MobileHotspot::Configuration accepted = mobile_.Accepted();
  FindHostedConnection(netconfig::FindMobileHotspotConnection, 300);
  return Network{accepted.name, accepted.passPhrase};
}

bool Hotspot::ConfirmSharing() {
  if (!exec::PlatformCall([&] { return net_.toolkit.QueryPublicSharing(); }).empty()) return true;
  bool rerun;
  {
    std::lock_guard guard(shared_.lock);
    shared_.sharingFailedLastTime = true;
    rerun = shared_.startRetryCount <= kMostAutomaticReruns;
    if (rerun) ++shared_.startRetryCount;
  }
  if (rerun) {
    StartWorker(true);
    return false;
  }
  net_.exec.RunOnUi([&] { ShowStoppedControls(net_.window); });
  net_.messages.Show("启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。",
                     "启动失败", ui::kMessageOk | ui::kMessageIconInformation);
  return false;
}

void Hotspot::ShowRunning(const Network& network, bool mobilePath) {
  ui::MainWindow& w = net_.window;
  {
    std::lock_guard guard(shared_.lock);
    shared_.sharingFailedLastTime = false;
  }
  net_.exec.RunOnUi([&] {
    runningNetwork_ = network;
    w.按钮开始.SetText(kCaptionRunning);
    w.按钮开始.SetEnabled(true);
    w.编辑框名称.SetEnabled(false);
    w.编辑框密码.SetEnabled(false);
    w.标签9.SetTextColour(kStartedGreen);
    w.标签9.SetText("已启动");
    w.组合框1.SetEnabled(false);
    const bool blacklist = w.单选框黑.Checked();
    w.时钟_黑.SetInterval(blacklist ? kAccessControlMs : 0);
    w.时钟_白.SetInterval(w.单选框白.Checked() ? kAccessControlMs : 0);
    if (w.选择框显示流量.Checked()) speedBar_.时钟流量.SetInterval(kSpeedBarMs);
    w.超级链接框_重启.SetVisible(true);
    w.超级链接框_重启.SetEnabled(true);
    SetSharingStatusText(kSharingDone);
    w.菜单_重启WiFi.SetEnabled(true);
    if (mobilePath) w.时钟_移动热点.SetInterval(kMobileWatchMs);
  });
}

void Hotspot::StopHotspot() {
  ui::MainWindow& w = net_.window;
  w.按钮开始.SetEnabled(false);
  w.按钮开始.SetText(kCaptionStopped);
  w.组合框1.SetEnabled(true);
  w.标签9.SetText("未启动");
  ShowStoppedAnimations(w);
  w.编辑框名称.SetEnabled(true);
  w.编辑框密码.SetEnabled(true);
  {
    std::lock_guard guard(shared_.lock);
    shared_.connectionAtLastStop = w.组合框1.Text();
  }
  EndMobileWatch();
  RunOffUiThread([this] { mobile_.Stop(); });
  if (net_.Windows7()) {
    net_.exec.RunConsoleCommand(kStopCommand);
  } else {
    wlan_.StopHostedNetwork();
  }
  w.菜单_重启WiFi.SetEnabled(false);
  w.按钮开始.SetEnabled(true);
  w.托盘图标1.SetImage(ui::TrayImage::Normal);
  w.托盘图标1.SetTip(kWelcomeTip);
}

void Hotspot::AbortHotspot() {
  net_.exec.RunOnUi([&] {
    ui::MainWindow& w = net_.window;
    StopClientTimers();
    ShowStoppedControls(w);
    w.标签9.SetText("未启动");
    w.编辑框名称.SetEnabled(true);
    w.编辑框密码.SetEnabled(true);
  });
  // Every run of the sequence is ended, and the reset waits until each has left the
  // platform call it is in: an ended run switches nothing on again, and the reset is
  // the only user of the sharing objects.
  std::vector<exec::WorkerHandle> ended;
  {
    std::lock_guard guard(shared_.lock);
    std::vector<exec::WorkerHandle> runs = shared_.otherRuns;
    runs.push_back(shared_.startWorkerHandle);
    for (const exec::WorkerHandle& run : runs) {
      // From the start worker itself (its netsh failure) the worker goes on to its end.
      if (!run || exec::IsCurrentWorker(run)) continue;
      net_.exec.EndWorkerThread(run);
      ended.push_back(run);
    }
  }
  for (const exec::WorkerHandle& run : ended) net_.exec.WaitOutOfPlatformCall(run);
  EndMobileWatch();
  ResetSharing();
}

void Hotspot::ResetSharing() {
  RunOffUiThread([this] { mobile_.Stop(); });
  netconfig::ResetSharing(net_, [this] { wlan_.StopHostedNetwork(); });
}

void Hotspot::RestartHotspot() {
  ui::MainWindow& w = net_.window;
  w.超级链接框_重启.SetEnabled(false);
  w.菜单_重启WiFi.SetEnabled(false);
  w.托盘图标1.SetImage(ui::TrayImage::Normal);
  w.托盘图标1.SetTip(kWelcomeTip);
  {
    std::lock_guard guard(shared_.lock);
    shared_.restartRequested = true;
  }
  // A watch in flight could start the hotspot itself while the restart configures it.
  EndMobileWatch();
  StartWorker(false);
}

}  // namespace lumora::hotspot
