#pragma once
// The hotspot's life: the start button, the start sequence that brings up a shared
// hosted network (with its own re-runs when sharing does not come up), the stop, the
// forced stop every exit path takes, and the restart. The state the user sees is the
// start button's: "开启WiFi" enabled is Stopped, "启动中\r\n请稍后" disabled is
// Starting, "关闭WiFi" enabled is Running.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "exec/exec_services.h"
#include "hotspot/mobile_hotspot.h"
#include "hotspot/wlan_hosted_network.h"
#include "netconfig/network_context.h"
#include "ui/main_window.h"

namespace lumora::hotspot {

inline constexpr std::string_view kSharingDone = "共享完成";
inline constexpr std::string_view kWelcomeTip = "欢迎使用LumoraWiFi，点击开启WiFi即可哦";
inline constexpr std::string_view kRunningTip = "已开启WiFi，现在可以拿手机来连接啦";
inline constexpr std::string_view kCaptionStopped = "开启WiFi";
inline constexpr std::string_view kCaptionStarting = "启动中\r\n请稍后";
inline constexpr std::string_view kCaptionRunning = "关闭WiFi";

// The text of a netsh failure for its message box: without the line break before and
// after it, and without blank lines.
std::string TidyNetshOutput(std::string_view output);

// Whether netsh's list of addresses has DHCP on for the connection: at the first line
// that names it and is followed by a line mentioning DHCP, the two say "是".
bool ConnectionOnDhcp(std::string_view showAddresses, std::string_view connection);

// Where a looping animation stands (UI thread): each step shows the next frame, and after
// the last the first again.
class AnimationFrames {
 public:
  template <typename Frame, std::size_t N>
  const Frame& Step(const Frame (&frames)[N]) {
    const Frame& shown = frames[next_];
    next_ = (next_ + 1) % N;
    return shown;
  }
  void Restart() { next_ = 0; }

 private:
  std::size_t next_ = 0;
};

class Hotspot {
 public:
  Hotspot(netconfig::NetworkContext& net, ui::SpeedBarWindow& speedBar);
  Hotspot(const Hotspot&) = delete;
  Hotspot& operator=(const Hotspot&) = delete;

  // The start button (UI thread): starts the sequence when Stopped, else stops.
  void StartButtonClicked();
  // The start sequence; runs on its own worker.
  void HotspotStartSequence();
  // The stop of the running hotspot (UI thread).
  void StopHotspot();
  // The forced stop of every exit path, from any thread. Every run of the start
  // sequence, a restart's too, is ended and has left its platform call before sharing
  // is reset.
  void AbortHotspot();
  // The restart link and menu item (UI thread).
  void RestartHotspot();
  // Sharing off everywhere and the hosted network disallowed (and, after Windows 7,
  // stopped through the WLAN service); a mobile hotspot the program runs is stopped.
  void ResetSharing();
  // The watch of a running mobile hotspot (时钟_移动热点, UI thread).
  void MobileHotspotTick();

  // What the window's animations and the access-control modes look at.
  std::string SharingStatusText() const;
  int StartRetryCount() const;
  exec::WorkerHandle StartWorkerHandle() const;
  // The name and pass phrase phones join the running hotspot by, as its start path
  // gave them to the system (UI thread; empty before the first start).
  struct Network {
    std::string name, passPhrase;
  };
  const Network& RunningNetwork() const { return runningNetwork_; }
  WlanHostedNetwork& HostedNetwork() { return wlan_; }
  MobileHotspot& Mobile() { return mobile_; }

  // The tray and status animations of a start under way; each run begins both afresh.
  AnimationFrames& TrayFrames() { return trayFrames_; }
  AnimationFrames& StatusFrames() { return statusFrames_; }

 private:
  // The way a run brings the hotspot up, as its system and driver allow.
  enum class StartPath {
    HostedNetwork,
    MobileHotspot,
    // The run has shown its failure and ends.
    Refused,
  };

  // The steps of the start sequence, in their order.

  // The name and pass phrase typed, cleaned; nothing after the balloon that refuses them.
  std::optional<Network> CheckInput();
  // Stops what runs and shows the start under way.
  void ShowStarting();
  // Resets sharing first when the connection differs from the one of the last stop, a
  // restart asked for it, or sharing failed the last time.
  void ResetSharingWhenNeeded(const std::string& connection);
  // Puts the cleaned texts back into their boxes and into the settings file.
  void KeepInput(const Network& clean);
  // Gives netsh the name and pass phrase; false after the balloon about administrator
  // rights.
  bool ConfigureOnWindows7(const Network& network);
  // False after the balloon that asks for a connection.
  bool CheckConnection(const std::string& connection);
  void StartOnWindows7();
  StartPath StartThroughWlanService(const Network& clean, const std::string& connection);
  // The name and pass phrase the system's mobile hotspot accepted; nothing after it
  // showed why it did not start.
  std::optional<Network> StartMobileHotspot(const Network& clean);
  // Whether a connection now shares publicly; when none does, the run is repeated on a
  // worker of its own, up to the limit of a press, and after that the failure is shown.
  bool ConfirmSharing();
  void ShowRunning(const Network& network, bool mobilePath);

  void ShowBalloon(ui::Point at, std::string_view text);
  // The end of a run that does not start the hotspot, from any thread: the button and
  // the animations as Stopped, and netsh's last answer forgotten.
  void ResetStoppedControls();
  // The end of a start that the hosted network refused: the message with the failure
  // type and the help, the forced stop and the stopped controls.
  void FailStart(std::string_view failureType);
  void StartWorker(bool keepHandle);
  std::string HostedConnection();
  // One of the hosted-connection look-ups, with its retries and the manual override.
  void FindHostedConnection(void (*find)(netconfig::NetworkContext&), std::uint32_t pauseMs);
  // The timers of the client scan, the whitelist and the traffic figures (UI thread).
  void StopClientTimers();
  void SetSharingStatusText(std::string_view text);
  std::string LastNetshOutput() const;
  void SetLastNetshOutput(std::string output);
  // The start button's stop (UI thread): the client list emptied, the restart link
  // hidden and the client and traffic timers stopped before the hotspot itself.
  void ClearWindowAndStopHotspot();
  // Runs job where it may wait for the system: at once on a worker; from the UI thread
  // on a worker of its own while the window's events keep flowing.
  void RunOffUiThread(const std::function<void()>& job);
  // Ends the watch's worker and waits until it has left its platform call.
  void EndMobileWatch();

  netconfig::NetworkContext& net_;
  ui::SpeedBarWindow& speedBar_;
  WlanHostedNetwork wlan_;
  MobileHotspot mobile_;

  Network runningNetwork_;  // UI thread
  AnimationFrames trayFrames_, statusFrames_;
  // The shared variables of the lifecycle, read and written from the UI thread and
  // from the start worker, each only under the lock.
  struct SharedState {
    mutable std::mutex lock;
    std::string sharingStatusText;
    std::string lastNetshOutput;
    std::string connectionAtLastStop;
    bool restartRequested = false;
    bool sharingFailedLastTime = false;
    int startRetryCount = 0;
    exec::WorkerHandle startWorkerHandle;
    // The runs still under way that StartWorkerHandle does not tell: a restart's, and
    // one still showing its failure when the next press started another.
    std::vector<exec::WorkerHandle> otherRuns;
    exec::WorkerHandle mobileWatchHandle;
  };
  SharedState shared_;
  std::atomic<bool> mobileWatchBusy_{false};
  // From a press of the start button until its run shows the start or leaves.
  std::atomic<bool> pressPending_{false};
};

}  // namespace lumora::hotspot
