#pragma once
// The model of the program's windows: every control by its name, with its design data
// and its state. The model is the program's state; only the UI thread touches it. The
// Win32 view and the headless UI of the tests observe it and feed it events.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/list_view_rows.h"

namespace lumora::ui {

enum class ControlKind {
  TabControl,
  GroupBox,
  Label,
  TransparentLabel,
  EditBox,
  Button,
  CheckBox,
  RadioButton,
  ComboBox,
  ListView,
  Slider,
  PictureBox,
  DrawPanel,
  Hyperlink,
  HtmlBrowser,
  SimpleHtmlBox,
  Timer,
  TrayIcon,
  BalloonTip,
  Menu,
  MenuItem,
  QrCode,
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Colour&) const = default;
};

// The pictures the program shows. The artwork belongs to the view.
enum class Picture {
  None,
  StatusStopped,
  StatusBusy1,
  StatusBusy2,
  StatusBusy3,
  StatusBusy4,
  StatusBusy5,
  StatusDone,
  Download,
  Upload,
  QuestionMark,
  ExclamationMark,
};

// A QR code symbol: size by size modules, row by row, true for a dark module.
struct QrModules {
  int size = 0;
  std::vector<bool> dark;
  bool Dark(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)]; }
  bool operator==(const QrModules&) const = default;
};

enum class TrayImage { None, Normal, Busy1, Busy2, Busy3, Running };

// What changed on a control, for its observers.
enum class Change {
  Text,
  Enabled,
  Visible,
  Checked,
  Geometry,
  TextColour,
  Tip,
  Masked,        // edit box: password characters or plain
  Items,         // combo box items
  Selection,     // combo box, tab control
  Rows,          // list view rows or cells
  RowSelection,  // list view: which rows are selected
  Position,      // slider
  Interval,      // timer
  Picture,       // picture box, draw panel, tray icon
  Content,       // browser URL, HTML text
  Balloon,       // a balloon or a tray notice was shown
  PopUp,         // a menu is to pop up at the mouse
  Focus,         // the control is to take the keyboard focus
};

// What changed on a window itself.
enum class WindowChange { Title, Geometry, Visible, Minimised, Topmost, Border, Activate };

class Control;
class WindowModel;

class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  virtual void OnControlChanged(Control& control, Change change) = 0;
  virtual void OnWindowChanged(WindowModel& window, WindowChange change) = 0;
};

// Where a control stands: on a tab page (or the window itself, page -1), or inside a
// group box. Positions are relative to that container.
struct Place {
  int tabPage = -1;
  Control* groupBox = nullptr;
  static Place Tab(int page) { return {page, nullptr}; }
  static Place In(Control& groupBox);
  static Place Window() { return {-1, nullptr}; }
};

// The design state of a control: anything not said is visible and enabled.
enum DesignFlags : unsigned {
  kDesignDefault = 0,
  kHidden = 1,
  kDisabled = 2,
  kTicked = 4,
  kHandCursor = 8,
  kEditable = 16,  // combo box: the user may type
};

class Control {
 public:
  Control(WindowModel& owner, std::string_view name, ControlKind kind, Place place, Rect rect,
          std::string_view text, unsigned flags);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  WindowModel& Owner() const { return owner_; }
  // The tab page the control stands on, also through its group box; -1 for none.
  int TabPage() const;
  Control* GroupBox() const { return groupBox_; }
  bool HandCursor() const { return handCursor_; }

  const Rect& Geometry() const { return rect_; }
  void SetGeometry(Rect rect);
  void SetLeft(int left) { SetGeometry({left, rect_.top, rect_.width, rect_.height}); }

  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Caption colour; unset until the program gives one.
  const Colour* TextColour() const { return hasColour_ ? &colour_ : nullptr; }
  void SetTextColour(Colour colour);

  // The hover tip; a line break starts a new line.
  const std::string& Tip() const { return tip_; }
  void SetTip(std::string_view tip);

  // Asks for the keyboard focus.
  void TakeFocus() { Notify(Change::Focus); }

 protected:
  void Notify(Change change);
  // Changes the text without telling the observers; for a change that another
  // notification carries.
  void SetTextQuietly(std::string_view text) { text_ = std::string(text); }

 private:
  WindowModel& owner_;
  std::string name_;
  ControlKind kind_;
  int tabPage_;
  Control* groupBox_;
  Rect rect_;
  std::string text_;
  bool enabled_;
  bool visible_;
  bool handCursor_;
  bool hasColour_ = false;
  Colour colour_;
  std::string tip_;
};

// Group boxes, labels, transparent labels.
class StaticControl : public Control {
 public:
  using Control::Control;
};

// A transparent label whose mouse presses are events of its own: the speed bar's face,
// which covers the window.
class MouseLabel : public StaticControl {
 public:
  using StaticControl::StaticControl;
  std::function<void()> onLeftButtonPressed;
  std::function<void()> onDoubleClick;
  std::function<void()> onRightButtonPressed;
};

class Button : public Control {
 public:
  using Control::Control;
  std::function<void()> onClick;
};

class Hyperlink : public Control {
 public:
  using Control::Control;
  std::function<void()> onReleased;
};

class CheckBox : public Control {
 public:
  CheckBox(WindowModel& owner, std::string_view name, ControlKind kind, Place place, Rect rect,
           std::string_view text, unsigned flags);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // Called after the box has changed its state.
  std::function<void()> onClick;

 private:
  bool checked_;
};

class EditBox : public Control {
 public:
  using Control::Control;
  // Password characters instead of the text.
  bool Masked() const { return masked_; }
  void SetMasked(bool masked);
  std::function<void(int keyCode)> onKeyReleased;
  std::function<void()> onFocusLost;

 private:
  bool masked_ = false;
};

class ComboBox : public Control {
 public:
  ComboBox(WindowModel& owner, std::string_view name, Place place, Rect rect, unsigned flags,
           std::vector<std::string> items = {});
  bool Editable() const { return editable_; }
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string_view item);
  void ClearItems() { SetItems({}); }
  // -1 when no item is selected.
  int SelectedIndex() const { return selected_; }
  // Selects an item and shows its text; -1 clears the selection and keeps the text.
  void Select(int index);
  std::function<void()> onSelectionChanged;
  std::function<void(int keyCode)> onKeyPressed;
  std::function<void()> onFocusLost;

 private:
  bool editable_;
  std::vector<std::string> items_;
  int selected_ = -1;
};

// The cell under a point of a list view: its row and column (-1 for none), where that
// row begins, in the list's client coordinates, and its height (0: not known).
struct ListHit {
  int row = -1;
  int column = -1;
  Point rowPosition;
  int rowHeight = 0;
};

struct ListColumn {
  std::string title;
  int width = 0;
};

class ListView : public Control, public ListViewRows {
 public:
  ListView(WindowModel& owner, std::string_view name, Place place, Rect rect,
           std::vector<ListColumn> columns);
  const std::vector<ListColumn>& Columns() const { return columns_; }
  std::size_t RowCount() const { return rows_.size(); }
  // The cell's text; empty for a cell that was never set.
  const std::string& Cell(std::size_t row, int column) const;
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }

  std::size_t AppendRow() override;
  void SetCell(std::size_t row, int column, std::string_view text) override;
  void DeleteRow(std::size_t row);
  void DeleteAllRows();
  // All rows at once, as one change: nobody ever sees the list half filled. The
  // selection is cleared.
  void SetRows(std::vector<std::vector<std::string>> rows);
  // SetRows for a list filled again from its source: the rows selected before stay
  // selected where a row with the same text in keyColumn is still listed.
  void RefillRows(std::vector<std::vector<std::string>> rows, int keyColumn);

  // The selected rows, top to bottom.
  std::vector<std::size_t> SelectedRows() const;
  bool Selected(std::size_t row) const { return row < selected_.size() && selected_[row]; }
  // Selects exactly these rows (those out of range are left out).
  void SelectRows(const std::vector<std::size_t>& rows);
  // The texts in keyColumn of the selected rows, top to bottom: what names them across
  // a refill.
  std::vector<std::string> SelectedKeys(int keyColumn) const;
  // The rows that keys name, top to bottom: each key stands for the first row with that
  // text in keyColumn that no earlier key took. A key no row has names none.
  std::vector<std::size_t> RowsOfKeys(int keyColumn, const std::vector<std::string>& keys) const;

  std::function<void(int row)> onRightClickItem;
  std::function<void(const ListHit& hit)> onDoubleClickCell;

 private:
  std::vector<ListColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<bool> selected_;  // one flag a row
};

class Slider : public Control {
 public:
  Slider(WindowModel& owner, std::string_view name, Place place, Rect rect, int minimum,
         int maximum);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  // Kept within the range, as a real slider does.
  void SetPosition(int position);
  std::function<void()> onPositionChanged;

 private:
  int minimum_, maximum_, position_;
};

class TabControl : public Control {
 public:
  TabControl(WindowModel& owner, std::string_view name, Rect rect, std::vector<std::string> tabs);
  const std::vector<std::string>& Tabs() const { return tabs_; }
  int CurrentTab() const { return current_; }
  void SetCurrentTab(int index);
  // Called when the current tab has changed (not when the same tab is chosen again).
  std::function<void()> onTabChanged;

 private:
  std::vector<std::string> tabs_;
  int current_ = 0;
};

// Picture boxes and draw panels.
class PictureControl : public Control {
 public:
  PictureControl(WindowModel& owner, std::string_view name, ControlKind kind, Place place,
                 Rect rect, Picture picture, unsigned flags);
  Picture Shown() const { return picture_; }
  void Show(Picture picture);
  std::function<void()> onReleased;

 private:
  Picture picture_;
};

// HTML browsers (Text is the address, the page is what was loaded from it) and the
// simple HTML box (Text is the HTML, and so is the page).
class HtmlControl : public Control {
 public:
  using Control::Control;
  // The HTML the control shows.
  const std::string& Page() const { return Kind() == ControlKind::SimpleHtmlBox ? Text() : page_; }
  // A browser: the page its address gave.
  void LoadPage(std::string_view html);
  // A link of the page followed, with its address as the page wrote it.
  std::function<void(std::string_view address)> onLinkChosen;

 private:
  std::string page_;
};

// A QR code, dark modules on white with a quiet zone of kQrQuietModules all round,
// whatever the skin: a phone's camera must read it. Its modules are squares of whole
// pixels, as large as the control holds.
inline constexpr int kQrQuietModules = 4;
class QrCodeControl : public Control {
 public:
  QrCodeControl(WindowModel& owner, std::string_view name, Place place, Rect rect);
  const QrModules& Modules() const { return modules_; }
  void SetModules(QrModules modules);

 private:
  QrModules modules_;
};

class Timer : public Control {
 public:
  Timer(WindowModel& owner, std::string_view name);
  // 0: stopped; positive: running with that period in milliseconds.
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Running() const { return interval_ > 0; }
  std::function<void()> onTick;

 private:
  int interval_ = 0;
};

class TrayIcon : public Control {
 public:
  TrayIcon(WindowModel& owner, std::string_view name);
  // None takes the icon out of the notification area.
  TrayImage Image() const { return image_; }
  // Ignored once the icon has been removed for good.
  void SetImage(TrayImage image);
  // Takes the icon out of the notification area for the rest of the program's life.
  void RemoveForGood();
  // The tip shown over the icon (the control's tip).
  struct Notice {
    std::string title, text;
  };
  // A balloon notice over the icon; none once the icon has been removed for good.
  void ShowNotice(std::string_view title, std::string_view text);
  const Notice& LastNotice() const { return notice_; }
  int NoticeCount() const { return noticeCount_; }
  std::function<void()> onLeftClick;
  std::function<void()> onLeftDoubleClick;
  std::function<void()> onRightClick;
  // The user clicked the balloon notice.
  std::function<void()> onNoticeClick;

 private:
  TrayImage image_ = TrayImage::None;
  bool removedForGood_ = false;
  Notice notice_;
  int noticeCount_ = 0;
};

// A balloon tip shown at a point relative to the window's top-left corner.
class BalloonTip : public Control {
 public:
  BalloonTip(WindowModel& owner, std::string_view name);
  void ShowAt(Point point, std::string_view text);
  Point LastPoint() const { return point_; }
  int ShownCount() const { return shownCount_; }
  // Speed bar: a link of the balloon's HTML chosen, with its message text.
  std::function<void(std::string_view message)> onLinkChosen;

 private:
  Point point_;
  int shownCount_ = 0;
};

class Menu;

class MenuItem : public Control {
 public:
  MenuItem(WindowModel& owner, std::string_view name, Menu& menu, std::string_view text,
           unsigned flags);
  Menu& OwnerMenu() const { return menu_; }
  std::function<void()> onChosen;

 private:
  Menu& menu_;
};

// A popup menu; its items are the MenuItems that name it.
class Menu : public Control {
 public:
  Menu(WindowModel& owner, std::string_view name);
  const std::vector<MenuItem*>& Items() const { return items_; }
  // Asks the view to pop the menu up at the mouse.
  void PopUp();
  int PopUpCount() const { return popUps_; }

 private:
  friend class MenuItem;
  std::vector<MenuItem*> items_;
  int popUps_ = 0;
};

// A picture that paints a window's whole background and gives the window its shape.
enum class Backdrop { None, SpeedBar };

// How a window itself looks and is held, beyond its controls. The default is a window
// with a caption, the button face behind its controls and a button on the taskbar.
struct WindowLook {
  // A caption with the system menu and, unless owned, a minimise box; without one, a
  // borderless popup.
  bool captioned = true;
  // No taskbar button, and shown without taking the activation.
  bool toolWindow = false;
  Backdrop backdrop = Backdrop::None;
  // The backdrop's pixels of this colour lie outside the window.
  Colour shapeTransparent;
  // The label by which the left button drags the window, as by a caption.
  MouseLabel* dragFace = nullptr;
  // The window that owns this one: kept above it, hidden and gone with it, and without a
  // taskbar button of its own.
  const WindowModel* owner = nullptr;
  // Esc does what the close box does.
  bool closesOnEscape = false;
};

// A top-level window: its controls (in design order), geometry and state.
class WindowModel {
 public:
  WindowModel(std::string_view id, Rect rect, std::string_view title);
  virtual ~WindowModel() = default;
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  // A fixed ASCII name of the window, for the view's window class.
  const std::string& Id() const { return id_; }
  const WindowLook& Look() const { return look_; }
  const std::vector<Control*>& Controls() const { return controls_; }
  // The control of that name, or nullptr.
  Control* Find(std::string_view name) const;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view title);
  // Screen position and outer size.
  const Rect& Geometry() const { return rect_; }
  void SetGeometry(Rect rect);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Shrunk to the taskbar (and still visible there).
  bool Minimised() const { return minimised_; }
  void SetMinimised(bool minimised);
  bool Topmost() const { return topmost_; }
  void SetTopmost(bool topmost);
  bool Bordered() const { return bordered_; }
  void RemoveBorder();
  // Brings the window to the foreground and gives it the focus.
  void Activate();

  void AddObserver(ModelObserver* observer);
  void RemoveObserver(ModelObserver* observer);

  // Right mouse button released over the window itself, not over a control.
  std::function<void()> onRightButtonReleased;
  // Close box, Alt+F4, the system menu, or Windows ending the session.
  std::function<void()> onCloseRequested;
  // Windows ends the session: the process goes once the handler has returned.
  std::function<void()> onSessionEnded;
  // The window has moved (by the user or by the program).
  std::function<void()> onMoved;

 protected:
  // Design data of the window, given once by the derived window's constructor.
  void SetLook(const WindowLook& look) { look_ = look; }

 private:
  friend class Control;
  void Register(Control* control) { controls_.push_back(control); }
  void NotifyControl(Control& control, Change change);
  void NotifyWindow(WindowChange change);

  std::string id_;
  WindowLook look_;
  std::vector<Control*> controls_;
  std::vector<ModelObserver*> observers_;
  std::string title_;
  Rect rect_;
  bool visible_ = false;
  bool minimised_ = false;
  bool topmost_ = false;
  bool bordered_ = true;
};

}  // namespace lumora::ui
