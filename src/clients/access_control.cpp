#include "clients/access_control.h"

#include <algorithm>
#include <vector>

#include "clients/list_files.h"
#include "clients/neighbour_table.h"
#include "exec/worker_context.h"
#include "netconfig/adapter_toolkit.h"
#include "ui/message_boxes.h"
#include "ui/users_tab.h"

namespace lumora::clients {

namespace {

constexpr int kEnforcementMs = 6000;

// Columns of the client list, the blacklist view and the whitelist view.
constexpr int kClientIp = 1, kClientMac = 2, kClientName = 3;
constexpr int kBlackMac = 1, kBlackName = 2;
constexpr int kWhiteMac = 0;

// The frame of a list view around its client area, and how far the name editor
// reaches over the row above and below, at 96 DPI.
constexpr int kListBorder = 2;
constexpr int kEditorOverhang = 2;

using ListedDevice = NoticedDevice;

std::string WithoutControlCharacters(std::string_view text) {
  std::string clean;
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) clean += c;
  return clean;
}

// The rows of a list view as a list file holds them.
std::vector<std::vector<std::string>> RowsOfListText(std::string_view text, int macColumn,
                                                     std::size_t columns) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty()) continue;
    const ListEntry entry = ParseListEntry(line);
    std::vector<std::string> row(columns);
    row[static_cast<std::size_t>(macColumn)] = entry.mac;
    if (entry.hasName) row[static_cast<std::size_t>(macColumn) + 1] = entry.name;
    rows.push_back(std::move(row));
  }
  return rows;
}

// The row of the list whose MAC column holds mac, if it is still listed.
std::optional<std::size_t> RowOfMac(const ui::ListView& list, int macColumn, std::string_view mac) {
  for (std::size_t row = 0; row < list.RowCount(); ++row)
    if (list.Cell(row, macColumn) == mac) return row;
  return std::nullopt;
}

// The device-name text with name recorded for key: on the first line that holds the
// key, or on a line of its own when none does.
std::string WithDeviceName(const std::string& text, std::string_view key, std::string_view name) {
  const std::string line = std::string(key) + std::string(kFieldSeparator) + std::string(name);
  if (FindText(text, key) == -1) return text + std::string(kLineBreak) + line;
  return ReplaceLine(text, FindLineContaining(text, key), line);
}

// A device of the hotspot as the neighbour table shows it. An entry whose address
// failed to resolve has no hardware address: some systems still call it dynamic.
bool IsHostedDynamic(const NeighbourRecord& record, std::uint32_t hostedIndex) {
  return record.row.interfaceIndex == hostedIndex && record.row.type == kNeighbourDynamic &&
         FindText(record.mac, kBroadcastMarker) == -1 && record.mac != kZeroMac;
}

// The name the user gave a device comes before the one a list file kept with it.
void PreferGivenNames(const SearchableListText& names, std::vector<NoticedDevice>& devices) {
  for (NoticedDevice& device : devices)
    if (std::string name = names.DeviceNameFor(device.mac); !name.empty()) device.name = name;
}

}  // namespace

AccessControl::AccessControl(netconfig::NetworkContext& net, platform::FilePort& files,
                             std::function<bool()> sharingDone, SystemClients systemClients)
    : net_(net),
      files_(files),
      sharingDone_(std::move(sharingDone)),
      systemClients_(std::move(systemClients)) {}

AccessControl::~AccessControl() { net_.window.RemoveObserver(this); }

void AccessControl::Connect() {
  ui::MainWindow& w = net_.window;
  w.AddObserver(this);
  w.时钟_黑.onTick = [this] { ScanTimerTick(); };
  w.时钟_白.onTick = [this] { WhitelistTimerTick(); };
  w.超级列表框1.onDoubleClickCell = [this](const ui::ListHit& hit) { OpenNameEditor(hit); };
  w.编辑框设备.onKeyReleased = [this](int key) {
    if (key == 13) CommitDeviceName();
  };
  w.编辑框设备.onFocusLost = [this] { CommitDeviceName(); };
  // A menu pops up over a row the right click left selected.
  w.超级列表框1.onRightClickItem = [this, &w](int row) {
    if (w.超级列表框1.Selected(static_cast<std::size_t>(row)))
      OpenMenu(w.超级列表框1, kClientMac, w.加黑);
  };
  w.超级列表框2.onRightClickItem = [this, &w](int row) {
    if (w.超级列表框2.Selected(static_cast<std::size_t>(row)))
      OpenMenu(w.超级列表框2, kBlackMac, w.取消黑);
  };
  w.超级列表框3.onRightClickItem = [this, &w](int row) {
    if (w.超级列表框3.Selected(static_cast<std::size_t>(row)))
      OpenMenu(w.超级列表框3, kWhiteMac, w.移白);
  };
  w.加黑_拉入黑名单.onChosen = [this] { AddToBlacklist(); };
  w.加黑_复制到白名单.onChosen = [this] { CopyToWhitelist(); };
  w.取消黑_取消黑名单.onChosen = [this] { RemoveFromBlacklist(); };
  w.移白_移出白名单.onChosen = [this] { RemoveFromWhitelist(); };
  w.单选框黑.onClick = [this] { SwitchToBlacklistMode(); };
  w.单选框白.onClick = [this] { SwitchToWhitelistMode(); };
  w.选择框_新设备提醒.onClick = [this, &w] {
    net_.settings.Write(settings::kJoinNotices,
                        w.选择框_新设备提醒.Checked() ? settings::kYes : settings::kNo);
  };
}

void AccessControl::OnControlChanged(ui::Control& control, ui::Change change) {
  if (change != ui::Change::Interval) return;
  ui::MainWindow& w = net_.window;
  // A worker that outlived its timer would fill the tab or pin devices after the stop.
  if (&control == &w.时钟_黑 && !w.时钟_黑.Running()) net_.exec.EndWorkerThread(scanWorker_);
  if (&control == &w.时钟_白 && !w.时钟_白.Running()) net_.exec.EndWorkerThread(whitelistWorker_);
  const bool timer = &control == &w.时钟_黑 || &control == &w.时钟_白;
  if (timer && !w.时钟_黑.Running() && !w.时钟_白.Running() && !switchingMode_) {
    foundThisRun_.clear();
    joinedThisRun_.clear();
    blockedThisRun_.clear();
  }
}

void AccessControl::Announce(std::set<std::string>& told, const std::vector<NoticedDevice>& devices,
                             NoticeOf noticeOf) {
  std::vector<NoticedDevice> fresh;
  for (const NoticedDevice& device : devices)
    if (told.insert(device.mac).second) fresh.push_back(device);
  ui::MainWindow& w = net_.window;
  if (fresh.empty() || !w.选择框_新设备提醒.Checked()) return;
  const ui::TrayIcon::Notice notice = noticeOf(fresh);
  w.托盘图标1.ShowNotice(notice.title, notice.text);
}

void AccessControl::AnnounceJoined(const std::vector<NoticedDevice>& devices) {
  Announce(joinedThisRun_, devices, JoinNotice);
}

void AccessControl::AnnounceBlocked(const std::vector<NoticedDevice>& devices) {
  Announce(blockedThisRun_, devices, BlockedNotice);
}

void AccessControl::OpenMenu(ui::ListView& list, int macColumn, ui::Menu& menu) {
  menuMacs_ = list.SelectedKeys(macColumn);
  menuRows_.clear();
  for (const std::size_t row : list.SelectedRows()) menuRows_.push_back(list.Rows()[row]);
  menu.PopUp();
}

void AccessControl::RefreshHostedIndex(const std::string& hostedConnection) {
  if (!hostedConnection.empty())
    hostedIndex_ = net_.toolkit.InterfaceIndexOfConnection(hostedConnection);
}

void AccessControl::Block(std::string_view ip) {
  if (const std::optional<std::string> command = BlockCommand(hostedIndex_, ip))
    net_.exec.RunConsoleCommand(*command);
}

void AccessControl::StartNextWorker(exec::WorkerHandle& worker, void (AccessControl::*routine)()) {
  net_.exec.EndWorkerThread(worker);
  worker = net_.exec.StartWorkerThread([this, routine] { (this->*routine)(); }, true);
}

void AccessControl::ScanTimerTick() { StartNextWorker(scanWorker_, &AccessControl::RunClientScan); }

void AccessControl::RunClientScan() {
  exec::ExecServices& exec = net_.exec;
  ui::MainWindow& w = net_.window;
  const std::vector<NeighbourRecord> records = ListNeighbours(net_.ports.ipHelper);
  const std::string blacklistText = ReadListText(files_, kBlacklistPath);
  const SearchableListText blacklist(blacklistText);
  RefreshHostedIndex(exec.ReadOnUi<std::string>([&] { return w.编辑框虚拟网卡.Text(); }));
  const std::uint32_t hostedIndex = hostedIndex_;

  // Every blacklisted device is cut off before any device is listed or named: the
  // name look-ups can take seconds each, and a scan may be ended by the next tick.
  std::vector<ListedDevice> devices;
  std::vector<NoticedDevice> blocked;
  for (const NeighbourRecord& record : records) {
    if (!IsHostedDynamic(record, hostedIndex)) continue;
    if (blacklist.Contains(record.mac)) {
      Block(record.ip);
      blocked.push_back({record.ip, record.mac, blacklist.DeviceNameFor(record.mac)});
      continue;
    }
    devices.push_back({record.ip, record.mac, {}});
  }

  const SearchableListText names(ReadListText(files_, kDeviceNamePath));
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    devices[i].name = names.DeviceNameFor(devices[i].mac);
    rows.push_back({std::to_string(i + 1), devices[i].ip, devices[i].mac, devices[i].name});
  }
  PreferGivenNames(names, blocked);
  std::vector<std::size_t> fresh, known;
  exec.RunOnUi([&] {
    w.超级列表框1.RefillRows(std::move(rows), kClientMac);
    // As the file is now: the user may have changed it while the blacklisted devices
    // were cut off.
    ReloadBlacklistView(ReadListText(files_, kBlacklistPath));
    AnnounceBlocked(blocked);
    // A device that an earlier scan found new, but that scan was ended before it told
    // of it (its look-ups outlasted the tick), is told of now, named or not.
    std::vector<NoticedDevice> overdue;
    for (std::size_t i = 0; i < devices.size(); ++i) {
      const bool told = joinedThisRun_.contains(devices[i].mac);
      if (!told && !foundThisRun_.insert(devices[i].mac).second) overdue.push_back(devices[i]);
      (told ? known : fresh).push_back(i);
    }
    AnnounceJoined(overdue);
  });

  // The system's own list, asked once a scan and only for a device the look-up could
  // not name.
  std::optional<std::vector<platform::TetheringClient>> systemListed;
  auto lookUpName = [&](ListedDevice& device) {
    if (!device.name.empty()) return;
    std::string lookedUp =
        ShownHostName(net_.ports.names.HostNameOfAddress(device.ip, exec::CurrentWorkerGoesOn));
    exec::ThrowIfWorkerEnded();
    if (lookedUp.empty()) {
      if (!systemListed) systemListed = systemClients_();
      lookedUp = ShownHostName(ListedHostName(*systemListed, device.mac));
    }
    device.name = RecordLookedUpName(device.mac, lookedUp);
    exec.PostToUi([&w, mac = device.mac, name = device.name] {
      if (const auto row = RowOfMac(w.超级列表框1, kClientMac, mac))
        w.超级列表框1.SetCell(*row, kClientName, name);
    });
  };
  // The devices that joined since the last scan are named first and told of at once: a
  // slow look-up of a device listed before must not hold the notice back until the next
  // tick ends this scan. One that this scan does not get to is told of by the next.
  std::vector<NoticedDevice> joined;
  for (const std::size_t i : fresh) {
    lookUpName(devices[i]);
    joined.push_back(devices[i]);
  }
  if (!joined.empty()) exec.PostToUi([this, joined] { AnnounceJoined(joined); });
  for (const std::size_t i : known) lookUpName(devices[i]);
}

std::string AccessControl::RecordLookedUpName(const std::string& mac, const std::string& name) {
  const std::string key = mac.empty() ? std::string(kDeviceNamePlaceholder) : mac;
  std::string shown = name;
  // Read again, under the file's lock: the user may have named the device while it was
  // looked up, and that name stays.
  ChangeListText(files_, kDeviceNamePath,
                 [&](const std::string& text) -> std::optional<std::string> {
                   const std::string recorded = DeviceNameFor(text, key);
                   if (!recorded.empty()) {
                     shown = recorded;
                     return std::nullopt;
                   }
                   return WithDeviceName(text, key, name);
                 });
  return shown;
}

void AccessControl::OpenNameEditor(const ui::ListHit& hit) {
  ui::MainWindow& w = net_.window;
  ui::ListView& list = w.超级列表框1;
  if (hit.row < 0 || static_cast<std::size_t>(hit.row) >= list.RowCount()) return;
  const auto row = static_cast<std::size_t>(hit.row);
  const auto& columns = list.Columns();
  // Over the name cell of the row, in the coordinates of the tab page.
  const ui::Rect group = w.分组框4.Geometry();
  const ui::Rect inList = list.Geometry();
  int left = group.left + inList.left + kListBorder + hit.rowPosition.x;
  for (int column = 0; column < kClientName; ++column)
    left += columns[static_cast<std::size_t>(column)].width;
  // A little taller than the row, over its middle: the box's frame takes room too.
  const int top = group.top + inList.top + kListBorder + hit.rowPosition.y - kEditorOverhang;
  ui::EditBox& box = w.编辑框设备;
  box.SetGeometry(
      {left, top, columns[kClientName].width,
       hit.rowHeight > 0 ? hit.rowHeight + 2 * kEditorOverhang : box.Geometry().height});
  box.SetText(list.Cell(row, kClientName));
  editedMac_ = list.Cell(row, kClientMac);
  editing_ = true;
  box.SetVisible(true);
  box.TakeFocus();
}

void AccessControl::CommitDeviceName() {
  if (!editing_) return;
  editing_ = false;
  ui::MainWindow& w = net_.window;
  const std::string name = WithoutControlCharacters(w.编辑框设备.Text());
  // The row of the device that was double-clicked: a scan may have moved it meanwhile.
  if (const auto row = RowOfMac(w.超级列表框1, kClientMac, editedMac_))
    w.超级列表框1.SetCell(*row, kClientName, name);
  w.编辑框设备.SetVisible(false);
  const std::string key = editedMac_.empty() ? std::string(kDeviceNamePlaceholder) : editedMac_;
  // Recorded also for a device whose first look-up is still under way: the look-up then
  // finds this name and keeps it.
  ChangeListText(files_, kDeviceNamePath,
                 [&](const std::string& text) -> std::optional<std::string> {
                   return WithDeviceName(text, key, name);
                 });
}

void AccessControl::AddToBlacklist() {
  ui::MainWindow& w = net_.window;
  RefreshHostedIndex(w.编辑框虚拟网卡.Text());
  // The devices as the menu opened over them: a scan may have refilled the list since,
  // without a device that has just left, and the command below keeps the window's
  // events flowing.
  ui::ListView& clients = w.超级列表框1;
  std::vector<ListedDevice> chosen;
  for (const auto& row : menuRows_)
    chosen.push_back({row[kClientIp], row[kClientMac], row[kClientName]});
  if (!chosen.empty()) Block(chosen.front().ip);

  ui::ListView& black = w.超级列表框2;
  ChangeListText(
      files_, kBlacklistPath, [&](const std::string& text) -> std::optional<std::string> {
        // A view older than the file takes in the file first, or its rewrite would undo
        // what the file gained or lost since.
        if (text != blacklistShown_) ReloadBlacklistView(text);
        std::vector<std::vector<std::string>> rows = black.Rows();
        for (const ListedDevice& device : chosen)
          rows.push_back({device.ip, device.mac, device.name});
        std::vector<std::vector<std::string>> unique;
        for (auto& row : rows) {
          const bool seen = std::any_of(unique.begin(), unique.end(), [&](const auto& kept) {
            return kept[kBlackMac] == row[kBlackMac];
          });
          if (!seen) unique.push_back(std::move(row));
        }
        black.SetRows(std::move(unique));
        blacklistShown_.clear();
        for (const auto& row : black.Rows())
          blacklistShown_ += row[kBlackMac] + std::string(kFieldSeparator) + row[kBlackName] +
                             std::string(kLineBreak);
        return blacklistShown_;
      });
  for (const ListedDevice& device : chosen)
    if (const auto row = RowOfMac(clients, kClientMac, device.mac)) clients.DeleteRow(*row);
}

void AccessControl::ReloadBlacklistView(const std::string& blacklistText) {
  ui::ListView& black = net_.window.超级列表框2;
  black.RefillRows(RowsOfListText(blacklistText, kBlackMac, black.Columns().size()), kBlackMac);
  blacklistShown_ = blacklistText;
}

void AccessControl::RemoveFromBlacklist() {
  ui::MainWindow& w = net_.window;
  ui::ListView& black = w.超级列表框2;
  const std::vector<std::size_t> selected = black.RowsOfKeys(kBlackMac, menuMacs_);
  std::string key = selected.empty() ? std::string() : black.Cell(selected.front(), kBlackMac);
  if (key.empty()) key = kBlacklistRemovalPlaceholder;
  bool removed = false;
  ChangeListText(files_, kBlacklistPath,
                 [&](const std::string& text) -> std::optional<std::string> {
                   if (FindText(text, key) == -1) return std::nullopt;
                   removed = true;
                   std::string next = RemoveLine(text, FindLineContaining(text, key));
                   // The view, less the rows below, shows the new text only if it showed the old
                   // one.
                   if (text == blacklistShown_) blacklistShown_ = next;
                   return next;
                 });
  if (!removed) return;
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) black.DeleteRow(*row);
  // Every pinned entry of the hosted interface goes: the others are pinned again by
  // the next scan.
  const std::uint32_t hostedIndex = hostedIndex_;
  for (const NeighbourRecord& record : ListNeighbours(net_.ports.ipHelper))
    if (record.row.interfaceIndex == hostedIndex && record.mac == kZeroMac)
      DeleteNeighboursByAddress(net_.ports.ipHelper, record.ip,
                                [this] { net_.exec.Dispatcher().ProcessPendingEvents(); });
}

void AccessControl::StopEnforcement() {
  switchingMode_ = true;
  net_.window.时钟_黑.SetInterval(0);
  net_.window.时钟_白.SetInterval(0);
  switchingMode_ = false;
  net_.exec.EndWorkerThread(scanWorker_);
  net_.exec.EndWorkerThread(whitelistWorker_);
  // A block command still running would pin its device after the table was emptied.
  net_.exec.WaitOutOfPlatformCall(scanWorker_);
  net_.exec.WaitOutOfPlatformCall(whitelistWorker_);
}

void AccessControl::SwitchMode(ui::AccessMode mode) {
  ui::MainWindow& w = net_.window;
  const bool blacklist = mode == ui::AccessMode::Blacklist;
  net_.settings.Write(settings::kMonitorMode,
                      blacklist ? settings::kMonitorBlacklist : settings::kMonitorWhitelist);
  StopEnforcement();
  // The other mode's list goes; the mode's own timer enforces it once sharing is done.
  (blacklist ? w.超级列表框3 : w.超级列表框1).DeleteAllRows();
  ui::ArrangeUsersTab(w, mode);
  DeleteAllNeighbours(net_.ports.ipHelper,
                      [this] { net_.exec.Dispatcher().ProcessPendingEvents(); });
  if (sharingDone_()) (blacklist ? w.时钟_黑 : w.时钟_白).SetInterval(kEnforcementMs);
}

void AccessControl::SwitchToBlacklistMode() { SwitchMode(ui::AccessMode::Blacklist); }

void AccessControl::SwitchToWhitelistMode() {
  SwitchMode(ui::AccessMode::Whitelist);
  ui::ListView& white = net_.window.超级列表框3;
  white.SetRows(
      RowsOfListText(ReadListText(files_, kWhitelistPath), kWhiteMac, white.Columns().size()));
}

void AccessControl::WhitelistTimerTick() {
  StartNextWorker(whitelistWorker_, &AccessControl::RunWhitelistEnforcement);
}

void AccessControl::RunWhitelistEnforcement() {
  exec::ExecServices& exec = net_.exec;
  ui::MainWindow& w = net_.window;
  const std::vector<NeighbourRecord> records = ListNeighbours(net_.ports.ipHelper);
  const std::string whitelistText = ReadListText(files_, kWhitelistPath);
  exec.RunOnUi([&] {
    w.超级列表框3.RefillRows(
        RowsOfListText(whitelistText, kWhiteMac, w.超级列表框3.Columns().size()), kWhiteMac);
  });
  RefreshHostedIndex(exec.ReadOnUi<std::string>([&] { return w.编辑框虚拟网卡.Text(); }));
  const std::uint32_t hostedIndex = hostedIndex_;
  const SearchableListText whitelist(whitelistText);
  std::vector<NoticedDevice> allowed, blocked;
  for (const NeighbourRecord& record : records) {
    if (!IsHostedDynamic(record, hostedIndex)) continue;
    if (whitelist.Contains(record.mac)) {
      allowed.push_back({record.ip, record.mac, whitelist.DeviceNameFor(record.mac)});
      continue;
    }
    Block(record.ip);
    blocked.push_back({record.ip, record.mac, {}});
  }
  if (allowed.empty() && blocked.empty()) return;
  const SearchableListText names(ReadListText(files_, kDeviceNamePath));
  PreferGivenNames(names, allowed);
  PreferGivenNames(names, blocked);
  exec.PostToUi([this, allowed, blocked] {
    AnnounceBlocked(blocked);
    AnnounceJoined(allowed);
  });
}

void AccessControl::CopyToWhitelist() {
  // The device the menu opened over, listed still or not.
  if (menuRows_.empty()) return;
  std::string key = menuRows_.front()[kClientMac];
  if (key.empty()) key = kWhitelistPlaceholder;
  const std::string name = menuRows_.front()[kClientName];
  const std::string entry = key + "+" + name;
  ChangeListText(files_, kWhitelistPath,
                 [&](const std::string& text) -> std::optional<std::string> {
                   if (FindText(text, key) != -1)
                     return ReplaceLine(text, FindLineContaining(text, key), entry);
                   const bool needsBreak = !text.empty() && !text.ends_with(kLineBreak);
                   return text + (needsBreak ? std::string(kLineBreak) : std::string()) + entry +
                          std::string(kLineBreak);
                 });
  net_.messages.Show(kCopiedToWhitelist, "信息：", ui::kMessageIconInformation);
}

void AccessControl::RemoveFromWhitelist() {
  ui::ListView& white = net_.window.超级列表框3;
  const std::vector<std::size_t> selected = white.RowsOfKeys(kWhiteMac, menuMacs_);
  if (selected.empty()) return;
  std::string key = white.Cell(selected.front(), kWhiteMac);
  if (key.empty()) key = kWhitelistPlaceholder;
  bool removed = false;
  ChangeListText(files_, kWhitelistPath,
                 [&](const std::string& text) -> std::optional<std::string> {
                   if (FindText(text, key) == -1) return std::nullopt;
                   removed = true;
                   return RemoveLine(text, FindLineContaining(text, key));
                 });
  if (!removed) return;
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) white.DeleteRow(*row);
}

void AccessControl::EndWorkers() {
  net_.exec.EndWorkerThread(scanWorker_);
  net_.exec.EndWorkerThread(whitelistWorker_);
}

}  // namespace lumora::clients
