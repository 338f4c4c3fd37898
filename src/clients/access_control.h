#pragma once
// Who may use the hotspot: the client list that a scan rebuilds every six seconds from
// the neighbour table, the names the user gives devices, the blacklist that cuts
// chosen devices off, and the whitelist mode that lets only listed ones through. The
// list files hold what the user decided; the three list views show it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "clients/join_notices.h"
#include "exec/exec_services.h"
#include "netconfig/network_context.h"
#include "platform/file_port.h"
#include "ui/controls.h"
#include "ui/users_tab.h"

namespace lumora::clients {

inline constexpr std::string_view kCopiedToWhitelist =
    "成功复制到白名单列表，\r\n在[白名单模式]将不拦截此用户。";

// It watches the two timers of the tab: whatever stops one (a mode switch, the hotspot's
// stop or any way out) ends the worker the timer started. A run of the hotspot lasts
// while one of them runs, across mode switches: each device that joins, and each that is
// cut off, is told of once a run by the tray icon.
class AccessControl : private ui::ModelObserver {
 public:
  // sharingDone tells whether the hotspot runs (its start confirmed sharing);
  // systemClients gives the devices the system itself lists for the hotspot (the mobile
  // hotspot's list; none for the hosted network), asked on the scan's worker.
  using SystemClients = std::function<std::vector<platform::TetheringClient>()>;
  AccessControl(netconfig::NetworkContext& net, platform::FilePort& files,
                std::function<bool()> sharingDone, SystemClients systemClients);
  ~AccessControl() override;
  AccessControl(const AccessControl&) = delete;
  AccessControl& operator=(const AccessControl&) = delete;

  // Gives the controls of the tab "管理用户" these actions as their handlers, and starts
  // watching its timers.
  void Connect();

  // The blacklist timer: ends the scan that may still run and starts the next.
  void ScanTimerTick();
  // The scan's worker routine.
  void RunClientScan();

  // The name editor over the name cell of the row hit, and its commit (Enter or the
  // loss of focus).
  void OpenNameEditor(const ui::ListHit& hit);
  void CommitDeviceName();

  void AddToBlacklist();
  void RemoveFromBlacklist();

  void SwitchToBlacklistMode();
  void SwitchToWhitelistMode();
  void WhitelistTimerTick();
  void RunWhitelistEnforcement();
  void CopyToWhitelist();
  void RemoveFromWhitelist();

  // Every way out ends the two workers.
  void EndWorkers();

  // The IP interface index of the hosted connection, as last resolved (0 before).
  std::uint32_t HostedInterfaceIndex() const { return hostedIndex_; }

 private:
  // A timer's tick: ends the worker the last tick started, which may still run, and
  // starts routine on the next.
  void StartNextWorker(exec::WorkerHandle& worker, void (AccessControl::*routine)());
  // Resolves the hosted interface index again when the hosted connection is known.
  void RefreshHostedIndex(const std::string& hostedConnection);
  // Runs the block command for ip on the hosted interface; nothing for an ip that is
  // not an address.
  void Block(std::string_view ip);
  // Records a looked-up name for mac unless a name is recorded for it already; returns
  // the name the device now has.
  std::string RecordLookedUpName(const std::string& mac, const std::string& name);
  void OnControlChanged(ui::Control& control, ui::Change change) override;
  void OnWindowChanged(ui::WindowModel&, ui::WindowChange) override {}
  // The menu pops up over the rows selected in list: they are what its items act on.
  void OpenMenu(ui::ListView& list, int macColumn, ui::Menu& menu);
  // Both timers off and both workers ended and out of their platform calls, before a
  // mode switch empties the table.
  void StopEnforcement();
  // The switch both modes share: the setting, the other list emptied, the page arranged,
  // the neighbours forgotten and the mode's timer started once sharing is done.
  void SwitchMode(ui::AccessMode mode);
  void ReloadBlacklistView(const std::string& blacklistText);
  // On the UI thread: the tray icon tells of those devices not told of yet this run, if
  // the box asks for it; either way they count as told.
  void AnnounceJoined(const std::vector<NoticedDevice>& devices);
  void AnnounceBlocked(const std::vector<NoticedDevice>& devices);
  using NoticeOf = ui::TrayIcon::Notice (*)(const std::vector<NoticedDevice>&);
  void Announce(std::set<std::string>& told, const std::vector<NoticedDevice>& devices,
                NoticeOf noticeOf);

  netconfig::NetworkContext& net_;
  platform::FilePort& files_;
  std::function<bool()> sharingDone_;
  SystemClients systemClients_;
  std::atomic<std::uint32_t> hostedIndex_{0};
  exec::WorkerHandle scanWorker_;
  exec::WorkerHandle whitelistWorker_;
  // The device whose name is being edited; empty while the editor is closed.
  std::string editedMac_;
  bool editing_ = false;
  // The MACs of the rows the last menu popped up over: the menu's loop goes on running
  // posts and timers, so a scan may refill the list before an item is chosen.
  std::vector<std::string> menuMacs_;
  // The cells of those rows, for the devices' own list, which a scan refills.
  std::vector<std::vector<std::string>> menuRows_;
  // The Blacklist file's text as the blacklist view last showed it. The view is written
  // back into the file only over this very text, so that nothing the file gained or lost
  // since is undone.
  std::string blacklistShown_;
  // The MACs that scans found joined this run, and those told of; only the UI thread
  // touches them.
  std::set<std::string> foundThisRun_;
  std::set<std::string> joinedThisRun_;
  std::set<std::string> blockedThisRun_;
  // A mode switch stops both timers without ending the run.
  bool switchingMode_ = false;
};

}  // namespace lumora::clients
