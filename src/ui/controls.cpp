#include "ui/controls.h"

#include <algorithm>
#include <utility>

namespace lumora::ui {

Place Place::In(Control& groupBox) { return {groupBox.TabPage(), &groupBox}; }

Control::Control(WindowModel& owner, std::string_view name, ControlKind kind, Place place,
                 Rect rect, std::string_view text, unsigned flags)
    : owner_(owner),
      name_(name),
      kind_(kind),
      tabPage_(place.tabPage),
      groupBox_(place.groupBox),
      rect_(rect),
      text_(text),
      enabled_((flags & kDisabled) == 0),
      visible_((flags & kHidden) == 0),
      handCursor_((flags & kHandCursor) != 0) {
  owner.Register(this);
}

int Control::TabPage() const { return groupBox_ ? groupBox_->TabPage() : tabPage_; }

void Control::Notify(Change change) { owner_.NotifyControl(*this, change); }

void Control::SetGeometry(Rect rect) {
  if (rect == rect_) return;
  rect_ = rect;
  Notify(Change::Geometry);
}

void Control::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = std::string(text);
  Notify(Change::Text);
}

void HtmlControl::LoadPage(std::string_view html) {
  if (html == page_) return;
  page_ = std::string(html);
  Notify(Change::Content);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Change::Enabled);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Change::Visible);
}

void Control::SetTextColour(Colour colour) {
  hasColour_ = true;
  colour_ = colour;
  Notify(Change::TextColour);
}

void Control::SetTip(std::string_view tip) {
  tip_ = std::string(tip);
  Notify(Change::Tip);
}

CheckBox::CheckBox(WindowModel& owner, std::string_view name, ControlKind kind, Place place,
                   Rect rect, std::string_view text, unsigned flags)
    : Control(owner, name, kind, place, rect, text, flags), checked_((flags & kTicked) != 0) {}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Change::Checked);
}

void EditBox::SetMasked(bool masked) {
  if (masked == masked_) return;
  masked_ = masked;
  Notify(Change::Masked);
}

ComboBox::ComboBox(WindowModel& owner, std::string_view name, Place place, Rect rect,
                   unsigned flags, std::vector<std::string> items)
    : Control(owner, name, ControlKind::ComboBox, place, rect, "", flags),
      editable_((flags & kEditable) != 0),
      items_(std::move(items)) {}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  selected_ = -1;
  Notify(Change::Items);
}

void ComboBox::AddItem(std::string_view item) {
  items_.emplace_back(item);
  Notify(Change::Items);
}

void ComboBox::Select(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  selected_ = index;
  if (index >= 0) SetText(items_[static_cast<std::size_t>(index)]);
  Notify(Change::Selection);
}

ListView::ListView(WindowModel& owner, std::string_view name, Place place, Rect rect,
                   std::vector<ListColumn> columns)
    : Control(owner, name, ControlKind::ListView, place, rect, "", kDesignDefault),
      columns_(std::move(columns)) {}

const std::string& ListView::Cell(std::size_t row, int column) const {
  static const std::string kEmpty;
  if (row >= rows_.size() || column < 0 || static_cast<std::size_t>(column) >= columns_.size())
    return kEmpty;
  return rows_[row][static_cast<std::size_t>(column)];
}

std::size_t ListView::AppendRow() {
  rows_.emplace_back(columns_.size());
  selected_.push_back(false);
  Notify(Change::Rows);
  return rows_.size() - 1;
}

void ListView::SetCell(std::size_t row, int column, std::string_view text) {
  if (row >= rows_.size() || column < 0 || static_cast<std::size_t>(column) >= columns_.size())
    return;
  rows_[row][static_cast<std::size_t>(column)] = std::string(text);
  Notify(Change::Rows);
}

void ListView::DeleteRow(std::size_t row) {
  if (row >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  const bool wasSelected = selected_[row];
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(row));
  Notify(Change::Rows);
  if (wasSelected) Notify(Change::RowSelection);
}

void ListView::DeleteAllRows() { SetRows({}); }

void ListView::SetRows(std::vector<std::vector<std::string>> rows) {
  for (auto& row : rows) row.resize(columns_.size());
  const bool hadSelection = !SelectedRows().empty();
  rows_ = std::move(rows);
  selected_.assign(rows_.size(), false);
  Notify(Change::Rows);
  if (hadSelection) Notify(Change::RowSelection);
}

void ListView::RefillRows(std::vector<std::vector<std::string>> rows, int keyColumn) {
  const std::vector<std::string> keys = SelectedKeys(keyColumn);
  for (auto& row : rows) row.resize(columns_.size());
  rows_ = std::move(rows);
  std::vector<bool> next(rows_.size(), false);
  for (const std::size_t row : RowsOfKeys(keyColumn, keys)) next[row] = true;
  const bool selectionChanged = next != selected_;
  selected_ = std::move(next);
  Notify(Change::Rows);
  if (selectionChanged) Notify(Change::RowSelection);
}

std::vector<std::string> ListView::SelectedKeys(int keyColumn) const {
  std::vector<std::string> keys;
  for (const std::size_t row : SelectedRows()) keys.push_back(Cell(row, keyColumn));
  return keys;
}

std::vector<std::size_t> ListView::RowsOfKeys(int keyColumn,
                                              const std::vector<std::string>& keys) const {
  std::vector<bool> taken(rows_.size(), false);
  for (const std::string& key : keys) {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
      if (!taken[row] && Cell(row, keyColumn) == key) {
        taken[row] = true;
        break;
      }
    }
  }
  std::vector<std::size_t> rows;
  for (std::size_t row = 0; row < taken.size(); ++row)
    if (taken[row]) rows.push_back(row);
  return rows;
}

std::vector<std::size_t> ListView::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < selected_.size(); ++i)
    if (selected_[i]) rows.push_back(i);
  return rows;
}

void ListView::SelectRows(const std::vector<std::size_t>& rows) {
  std::vector<bool> next(rows_.size(), false);
  for (std::size_t row : rows)
    if (row < next.size()) next[row] = true;
  if (next == selected_) return;
  selected_ = std::move(next);
  Notify(Change::RowSelection);
}

Slider::Slider(WindowModel& owner, std::string_view name, Place place, Rect rect, int minimum,
               int maximum)
    : Control(owner, name, ControlKind::Slider, place, rect, "", kDesignDefault),
      minimum_(minimum),
      maximum_(maximum),
      position_(minimum) {}

void Slider::SetPosition(int position) {
  position = std::clamp(position, minimum_, maximum_);
  if (position == position_) return;
  position_ = position;
  Notify(Change::Position);
}

TabControl::TabControl(WindowModel& owner, std::string_view name, Rect rect,
                       std::vector<std::string> tabs)
    : Control(owner, name, ControlKind::TabControl, Place::Window(), rect, "", kDesignDefault),
      tabs_(std::move(tabs)) {}

void TabControl::SetCurrentTab(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size()) || index == current_) return;
  current_ = index;
  Notify(Change::Selection);
}

PictureControl::PictureControl(WindowModel& owner, std::string_view name, ControlKind kind,
                               Place place, Rect rect, Picture picture, unsigned flags)
    : Control(owner, name, kind, place, rect, "", flags), picture_(picture) {}

void PictureControl::Show(Picture picture) {
  if (picture == picture_) return;
  picture_ = picture;
  Notify(Change::Picture);
}

Timer::Timer(WindowModel& owner, std::string_view name)
    : Control(owner, name, ControlKind::Timer, Place::Window(), {}, "", kDesignDefault) {}

void Timer::SetInterval(int ms) {
  ms = std::max(ms, 0);
  if (ms == interval_) return;
  interval_ = ms;
  Notify(Change::Interval);
}

TrayIcon::TrayIcon(WindowModel& owner, std::string_view name)
    : Control(owner, name, ControlKind::TrayIcon, Place::Window(), {}, "", kDesignDefault) {}

void TrayIcon::SetImage(TrayImage image) {
  if (removedForGood_ || image == image_) return;
  image_ = image;
  Notify(Change::Picture);
}

void TrayIcon::RemoveForGood() {
  SetImage(TrayImage::None);
  removedForGood_ = true;
}

void TrayIcon::ShowNotice(std::string_view title, std::string_view text) {
  if (removedForGood_) return;
  notice_ = {std::string(title), std::string(text)};
  ++noticeCount_;
  Notify(Change::Balloon);
}

QrCodeControl::QrCodeControl(WindowModel& owner, std::string_view name, Place place, Rect rect)
    : Control(owner, name, ControlKind::QrCode, place, rect, "", kDesignDefault) {}

void QrCodeControl::SetModules(QrModules modules) {
  modules_ = std::move(modules);
  Notify(Change::Picture);
}

BalloonTip::BalloonTip(WindowModel& owner, std::string_view name)
    : Control(owner, name, ControlKind::BalloonTip, Place::Window(), {}, "", kDesignDefault) {}

void BalloonTip::ShowAt(Point point, std::string_view text) {
  point_ = point;
  ++shownCount_;
  // The text is set quietly: the balloon change below tells the view everything.
  SetTextQuietly(text);
  Notify(Change::Balloon);
}

MenuItem::MenuItem(WindowModel& owner, std::string_view name, Menu& menu, std::string_view text,
                   unsigned flags)
    : Control(owner, name, ControlKind::MenuItem, Place::Window(), {}, text, flags), menu_(menu) {
  menu.items_.push_back(this);
}

Menu::Menu(WindowModel& owner, std::string_view name)
    : Control(owner, name, ControlKind::Menu, Place::Window(), {}, "", kDesignDefault) {}

void Menu::PopUp() {
  ++popUps_;
  Notify(Change::PopUp);
}

WindowModel::WindowModel(std::string_view id, Rect rect, std::string_view title)
    : id_(id), title_(title), rect_(rect) {}

Control* WindowModel::Find(std::string_view name) const {
  for (Control* control : controls_)
    if (control->Name() == name) return control;
  return nullptr;
}

void WindowModel::SetTitle(std::string_view title) {
  if (title == title_) return;
  title_ = std::string(title);
  NotifyWindow(WindowChange::Title);
}

void WindowModel::SetGeometry(Rect rect) {
  if (rect == rect_) return;
  const bool moved = rect.left != rect_.left || rect.top != rect_.top;
  rect_ = rect;
  NotifyWindow(WindowChange::Geometry);
  if (moved && onMoved) onMoved();
}

void WindowModel::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  NotifyWindow(WindowChange::Visible);
}

void WindowModel::SetMinimised(bool minimised) {
  if (minimised == minimised_) return;
  minimised_ = minimised;
  NotifyWindow(WindowChange::Minimised);
}

void WindowModel::SetTopmost(bool topmost) {
  if (topmost == topmost_) return;
  topmost_ = topmost;
  NotifyWindow(WindowChange::Topmost);
}

void WindowModel::RemoveBorder() {
  if (!bordered_) return;
  bordered_ = false;
  NotifyWindow(WindowChange::Border);
}

void WindowModel::Activate() { NotifyWindow(WindowChange::Activate); }

void WindowModel::AddObserver(ModelObserver* observer) { observers_.push_back(observer); }

void WindowModel::RemoveObserver(ModelObserver* observer) { std::erase(observers_, observer); }

void WindowModel::NotifyControl(Control& control, Change change) {
  for (ModelObserver* observer : observers_) observer->OnControlChanged(control, change);
}

void WindowModel::NotifyWindow(WindowChange change) {
  for (ModelObserver* observer : observers_) observer->OnWindowChanged(*this, change);
}

}  // namespace lumora::ui
