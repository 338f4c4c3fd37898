#include "app/application.h"

#include <cmath>
#include <string>

#include "app/run_at_logon.h"
#include "app/skin_colour.h"
#include "app/web_site.h"
#include "app/window_actions.h"
#include "clients/list_files.h"
#include "netconfig/connection_discovery.h"
#include "netconfig/service_preparation.h"
#include "text/cp936.h"
#include "text/text_between.h"
#include "traffic/traffic_figures.h"
#include "ui/users_tab.h"

namespace lumora::app {

namespace {

constexpr ui::Colour kCaptionRed{255, 0, 0};
constexpr ui::Colour kCaptionGreen{9, 124, 37};
// The version of this build, as the window title ends.

// A value of the update information (CP936 bytes) as UTF-8 text.
std::string InformationValue(std::string_view information, std::string_view startMarker,
                             std::string_view endMarker) {
  return text::Utf8FromCp936(text::TextBetween(information, startMarker, endMarker));
}

}  // namespace

int OsVersionCodeOf(platform::SystemVersion version) {
  static constexpr struct {
    int major, minor, code;
  } kCodes[] = {{5, 0, 1}, {5, 1, 2}, {5, 2, 3}, {6, 0, 4}, {6, 1, netconfig::kWindows7},
                {6, 2, 6}};
  for (const auto& entry : kCodes)
    if (entry.major == version.major && entry.minor == version.minor) return entry.code;
  return -1;
}

Application::Application(platform::Platform& platform, ui::UiDispatcher& dispatcher,
                         ui::MessageBoxes& messages, ProgramHost host)
    : platform_(platform),
      messages_(messages),
      host_(std::move(host)),
      settings_(platform.files),
      toolkit_(platform.network),
      network_{main_,    exec_,          settings_,        messages_, platform.network,
               toolkit_, osVersionCode_, reportsVersion62_},
      hotspot_(network_, speedBar_),
      access_(
          network_, platform.files,
          [this] { return hotspot_.SharingStatusText() == hotspot::kSharingDone; },
          [this] { return hotspot_.Mobile().ListedClients(); }),
      speedBarLogic_(speedBar_, main_, settings_, platform.network, platform.system, exec_, skin_,
                     {[this] { ShowCentred(*this); }, [this] { ExitProgram(*this); }}),
      timedShutdown_(main_, exec_, hotspot_, platform.power, [this] { ShowCentred(*this); }),
      exec_(platform.console, dispatcher, platform.clock) {
  access_.Connect();
  main_.时钟流量统计.onTick = [this] { traffic::RefreshTrafficFigures(main_, toolkit_); };
  ConnectWindowActions(*this);
  main_.选择框2.onClick = [this] { netconfig::RememberConnectionClicked(network_); };
  main_.组合框1.onFocusLost = [this] { netconfig::ConnectionFocusLost(network_); };
  ConnectSkinColour(*this);
  main_.选择框_开机启动.onClick = [this] { StartWithWindowsClicked(); };
  main_.选择框_启动.onClick = [this] { AutoStartClicked(); };
  main_.画板_叹号.onReleased = [this] { ShowStartWithWindowsWarning(); };
  for (ui::HtmlControl* html : {&main_.超文本浏览框1, &main_.简单超文本框1}) {
    html->onLinkChosen = [this](std::string_view address) {
      OpenWebAddress(platform_.shell, address);
    };
  }
}

Application::~Application() = default;

bool Application::Start() {
  host_.loadWindow(main_);
  if (!OnMainWindowCreated()) {
    // The window goes with this copy: what the announcement check finds stays unshown.
    exec_.EndWorkerThread(announcementWorkerHandle_);
    return false;
  }
  main_.SetVisible(true);
  return true;
}

bool Application::OnMainWindowCreated() {
  ui::MainWindow& w = main_;
  announcementWorkerHandle_ = exec_.StartWorkerThread([this] { AnnouncementCheck(); }, true);

  // One instance: a running one is brought up instead. The title is set only after
  // the check, so this window cannot find itself.
  if (platform_.instances.ShowWindowTitled(ui::kMainWindowTitle)) return false;
  if (!platform_.instances.ClaimInstance(kInstanceName)) {
    ShowInstanceStartedBeside();
    return false;
  }
  w.SetTitle(ui::kMainWindowTitle);

  const int colourPosition = settings::ParseDecimalInteger(settings_.Read(settings::kSkinColor));
  ui::ArrangeUsersTab(w, settings_.Read(settings::kMonitorMode) == settings::kMonitorBlacklist
                             ? ui::AccessMode::Blacklist
                             : ui::AccessMode::Whitelist);
  w.选择框显示流量.SetChecked(settings_.Read(settings::kSpeedBarShown) == settings::kYes);
  w.选择框_新设备提醒.SetChecked(settings_.Read(settings::kJoinNotices) == settings::kYes);

  w.滑块条色调.SetPosition(colourPosition);
  w.透明标签位置.SetText("[" + std::to_string(w.滑块条色调.Position() - 160) + "]");
  skin_.ApplySkin(colourPosition - 160);
  skin_.SetGroupTitleColour(w.分组框2, kCaptionRed);
  skin_.SetGroupTitleColour(w.分组框5, kCaptionRed);
  skin_.SetGroupTitleColour(w.分组框1, kCaptionRed);
  skin_.SetGroupTitleColour(w.分组框3, kCaptionRed);
  skin_.SetGroupTitleColour(w.分组框4, kCaptionGreen);
  skin_.SetGroupTitleColour(w.分组框6, kCaptionGreen);

  clients::LoadListFileIntoView(platform_.files, clients::kBlacklistPath, w.超级列表框2, 1);
  clients::LoadListFileIntoView(platform_.files, clients::kWhitelistPath, w.超级列表框3, 0);

  w.编辑框名称.SetTip("请输入英文或数字，部分手机可能无法识别中文。。。");
  w.编辑框密码.SetTip("密码不能少于8位数");
  w.选择框2.SetTip(
      "通常软件能智能匹配连网方式，若发现不对，\r\n请自行选择，并勾选这个，以后就记住这个连网了");
  w.单选框黑.SetTip("显示上网用户和拦截黑名单，建议用这种模式。。。");
  w.单选框白.SetTip("仅允许白名单用户上网，不能显示用户数");

  const auto& hours = w.组合框_关机.Items();
  for (std::size_t i = 0; i < hours.size(); ++i) {
    if (hours[i].starts_with("2")) {
      w.组合框_关机.Select(static_cast<int>(i));
      break;
    }
  }

  if (w.选择框_显示密码.Checked()) w.编辑框密码.SetMasked(false);
  w.标签9.SetText("未启动");
  w.图片框状态.Show(ui::Picture::StatusStopped);

  const std::string showPassPhrase = settings_.Read(settings::kShowPassPhrase);
  w.编辑框名称.SetText(settings_.Read(settings::kNetworkName));
  w.编辑框密码.SetText(settings_.Read(settings::kPassPhrase));
  if (showPassPhrase == settings::kShowPlain) {
    w.选择框_显示密码.SetChecked(true);
    w.编辑框密码.SetMasked(false);
  } else if (showPassPhrase == settings::kShowMasked) {
    w.选择框_显示密码.SetChecked(false);
    w.编辑框密码.SetMasked(true);
  }

  // The refusal reads the environment block, which follows a compatibility mode; the
  // version code below follows what GetVersion reports.
  if (platform_.system.EnvironmentBlockVersion() == platform::SystemVersion{5, 1}) {
    messages_.Show("抱歉，该软件暂不支持Win XP系统！", "提示", ui::kMessageOk);
    w.按钮开始.SetEnabled(false);
    w.按钮开始.SetText("不支持XP");
    return true;
  }
  osVersionCode_ = OsVersionCodeOf(platform_.system.ReportedVersion());
  reportsVersion62_ = platform_.system.ReportedVersion() == platform::SystemVersion{6, 2};

  host_.loadWindow(speedBar_);
  host_.loadWindow(joinCode_);
  speedBarLogic_.PrepareSpeedBar();
  speedBar_.SetVisible(w.选择框显示流量.Checked());

  startupWorkerHandle_ = exec_.StartWorkerThread([this] { StartupWorker(); }, true);
  return true;
}

void Application::ShowInstanceStartedBeside() {
  // The other copy was started at the same moment and may not have its window yet.
  for (int attempt = 0; attempt < 30; ++attempt) {
    if (platform_.instances.ShowWindowTitled(ui::kMainWindowTitle)) return;
    exec_.WaitPumping(100);
  }
}

bool Application::BeginClosing() {
  if (closing_) return false;
  closing_ = true;
  timedShutdown_.EndForGood();
  return true;
}

void Application::ResetForTheEnd() {
  if (!endReset_) {
    exec_.EndWorkerThread(announcementWorkerHandle_);
    exec_.EndWorkerThread(startupWorkerHandle_);
    access_.EndWorkers();
    main_.托盘图标1.RemoveForGood();
    // The reset runs on a worker of its own, so that it goes on in whichever pumped
    // wait is innermost: the end of the session may come in the middle of it and must
    // not return before it has finished. The reset waits until the start-up worker has
    // left its platform call, since that may be its own sharing reset.
    auto done = std::make_shared<std::promise<void>>();
    endReset_ = done->get_future().share();
    exec_.StartWorkerThread(
        [this, done] {
          struct Kept {
            std::promise<void>& done;
            ~Kept() { done.set_value(); }
          } kept{*done};
          exec_.WaitOutOfPlatformCall(startupWorkerHandle_);
          hotspot_.AbortHotspot();
        },
        false);
  }
  while (endReset_->wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
    exec_.Dispatcher().ProcessPendingEvents();
  // Nothing the program started goes on past its way out: the statistics page's request
  // and any worker that another one started end here too.
  exec_.EndAllWorkers();
}

void Application::AnnouncementCheck() {
  const std::string information = exec::PlatformCall(
      [this] { return platform_.http.ReadUrl(UpdateInformationUrl(), exec::CurrentWorkerGoesOn); });
  if (text::TextBetween(information, "[up1]", "[up2]") == "1") {
    exec_.RunOnUi([this] {
      main_.分组框7.SetVisible(true);
      main_.超文本浏览框1.SetVisible(true);
      main_.超文本浏览框1.SetEnabled(true);
      main_.超文本浏览框1.SetText(AnnouncementPageUrl());
    });
    const std::string page = text::Utf8FromCp936(exec::PlatformCall(
        [this] { return platform_.http.Get(AnnouncementPageUrl(), exec::CurrentWorkerGoesOn); }));
    exec_.RunOnUi([&] { main_.超文本浏览框1.LoadPage(page); });
  }
  const std::string help = text::Utf8FromCp936(exec::PlatformCall(
      [this] { return platform_.http.Get(HelpTextUrl(), exec::CurrentWorkerGoesOn); }));
  exec_.RunOnUi([&] { main_.简单超文本框1.SetText(help); });
}

void Application::UpdateCheck() {
  const std::string information = exec::PlatformCall(
      [this] { return platform_.http.Get(UpdateInformationUrl(), exec::CurrentWorkerGoesOn); });
  exec_.WaitPumping(500);
  const std::string latest = InformationValue(information, "[version1]", "[version2]");
  const std::string site = InformationValue(information, "[gwurl1]", "[gwurl2]");
  exec_.RunOnUi([&] { officialSiteUrl_ = site; });
  const std::string notes = InformationValue(information, "[content1]", "[content2]");
  if (text::LeadingVersionNumber(latest) - text::LeadingVersionNumber(ui::kProgramVersion) <=
      0.0000001)
    return;
  const int answer = messages_.Show(
      "亲！检测到最新V" + latest + "版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n" + notes,
      "更新提示", ui::kMessageYesNo);
  if (answer != ui::kAnswerYes) return;
  const std::string download = InformationValue(information, "[downurl1]", "[downurl2]");
  // The shell needs COM, which the UI thread has and this worker does not.
  exec_.RunOnUi([&] {
    OpenWebAddress(platform_.shell, download);
    LeaveForUpdate(*this);
  });
}

void Application::LoadStatisticsPage() {
  exec_.RunOnUi([this] { main_.超文本浏览框2.SetText(StatisticsPageUrl()); });
  const std::string page = text::Utf8FromCp936(exec::PlatformCall(
      [this] { return platform_.http.Get(StatisticsPageUrl(), exec::CurrentWorkerGoesOn); }));
  exec_.RunOnUi([&] { main_.超文本浏览框2.LoadPage(page); });
}

void Application::StartWithWindowsClicked() {
  // Where the Run key or the task cannot be changed the box would claim what Windows
  // does not hold: it shows what is really there.
  main_.选择框_开机启动.SetChecked(
      SetStartWithWindows(platform_.logonRegistry, platform_.logonTasks,
                          platform_.system.ProgramPath(), main_.选择框_开机启动.Checked()));
}

void Application::AutoStartClicked() {
  settings_.Write(settings::kAutoStart,
                  main_.选择框_启动.Checked() ? settings::kAutoStartOn : settings::kAutoStartOff);
}

void Application::ShowStartWithWindowsWarning() {
  messages_.Show(
      "[注意]：\r\n拨号上网的的电脑请不要勾选[开机打开软件]，否则WiFi没有网络。\r\n"
      "开机直接上网的电脑可以勾选。\r\n（因为要在有网络环境下打开软件才能正常开启WiFi）",
      "注意", ui::kMessageIconInformation);
}

void Application::StartupWorker() {
  hotspot_.ResetSharing();
  netconfig::ListConnections(network_);
  netconfig::ChooseStartupConnection(network_);
  exec_.RunOnUi([this] {
    main_.按钮开始.SetEnabled(true);
    main_.按钮开始.SetText(hotspot::kCaptionStopped);
    main_.托盘图标1.SetImage(ui::TrayImage::Normal);
    main_.托盘图标1.SetTip(hotspot::kWelcomeTip);
  });

  // Setting the two boxes from here writes nothing back.
  const bool runAtLogon = exec::PlatformCall(
      [this] { return RunValueAtStartup(platform_.logonRegistry, platform_.logonTasks); });
  const bool autoStart = settings_.Read(settings::kAutoStart) == settings::kAutoStartOn;
  exec_.RunOnUi([&] {
    main_.选择框_开机启动.SetChecked(runAtLogon);
    main_.选择框_启动.SetChecked(autoStart);
    if (autoStart && !closing_) hotspot_.StartButtonClicked();
  });

  UpdateCheck();
  exec_.StartWorkerThread([this] { LoadStatisticsPage(); }, false);

  netconfig::PrepareSharingServices(platform_.network.services, messages_);
}

}  // namespace lumora::app
