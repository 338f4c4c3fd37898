#include "ui/win32/model_window.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <type_traits>

#include "platform/failure_report.h"
#include "platform/win32/scoped_module.h"
#include "platform/win32/scoped_win.h"
#include "ui/win32/artwork_gdi.h"
#include "ui/win32/layout.h"
#include "ui/win32/simple_html.h"
#include "ui/user_input.h"
#include "ui/win32/ui_font.h"

namespace lumora::ui::win32 {

using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

constexpr UINT kTrayMessage = WM_APP + 40;
constexpr UINT kPopUpMessage = WM_APP + 41;
constexpr UINT kHideBalloonMessage = WM_APP + 42;
constexpr UINT_PTR kBalloonTimerId = 1;  // the model's timers use 1000 + their index
constexpr UINT_PTR kOtherPagesTimerId = 2;
constexpr UINT kBalloonMs = 5000;
constexpr int kComboListHeight = 200;  // the dropped list, at 96 DPI
constexpr LONG_PTR kComboEditId = kFirstControlId - 1;
constexpr wchar_t kPictureClass[] = L"LumoraPicture";
constexpr wchar_t kBrowserClass[] = L"LumoraBrowserPlaceholder";
constexpr wchar_t kPasswordChar = 0x25CF;
constexpr COLORREF kLinkColour = RGB(0x00, 0x66, 0xCC);
constexpr COLORREF kSpeedBarText = RGB(0xFF, 0xFF, 0xFF);

// The balloon that the next mouse click of this thread closes.
thread_local ModelWindow* tBalloonOwner = nullptr;
thread_local HWND tBalloonWindow = nullptr;

// Marks the time the view spends applying a model change: what the controls report
// meanwhile is the view's own doing, not the user's, and goes back to no handler.
class Applying {
 public:
  explicit Applying(int& depth) : depth_(depth) { ++depth_; }
  ~Applying() { --depth_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  int& depth_;
};

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

COLORREF RgbOf(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// The DPI of the monitor at a point: per monitor where Windows tells it, else the
// system's.
int DpiAt(POINT point) {
  using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
  static const platform::win32::ScopedModule shcore(L"shcore.dll");
  static const auto getDpiForMonitor = shcore.Find<GetDpiForMonitorFunction>("GetDpiForMonitor");
  if (getDpiForMonitor) {
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (SUCCEEDED(getDpiForMonitor(monitor, 0 /* effective */, &x, &y)) && y > 0)
      return static_cast<int>(y);
  }
  ScopedWindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

void RegisterPlainClass(const wchar_t* name, HBRUSH background) {
  WNDCLASSEXW existing{sizeof existing};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return;
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::EditBox:
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::ComboBox:
    case ControlKind::ListView:
    case ControlKind::Slider:
    case ControlKind::SimpleHtmlBox:
      return true;
    default:
      return false;
  }
}

// The model as the speed bar, or nullptr.
SpeedBarWindow* AsSpeedBar(WindowModel& model) { return dynamic_cast<SpeedBarWindow*>(&model); }

// A label of one line stands in the middle of its height, level with the field beside
// it; one of several lines starts at the top.
DWORD LineStyle(std::string_view text) {
  return text.find('\n') == std::string_view::npos ? SS_CENTERIMAGE : 0;
}

// Controls drawn over their parent's background; the others paint every pixel they
// cover.
bool SeeThrough(ControlKind kind) {
  return kind == ControlKind::GroupBox || kind == ControlKind::TransparentLabel;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Building

ModelWindow::ModelWindow(WindowModel& model) : model_(model), speedBar_(AsSpeedBar(model)) {
  const Rect& geometry = model.Geometry();
  dpi_ = DpiAt({geometry.left, geometry.top});
  const std::wstring className = Wide(model.Id());
  RegisterClassOnce(className, CS_DBLCLKS, speedBar_ ? nullptr : GetSysColorBrush(COLOR_BTNFACE));
  RegisterPlainClass(kPictureClass, nullptr);
  RegisterPlainClass(kBrowserClass, GetSysColorBrush(COLOR_WINDOW));
  const DWORD style =
      speedBar_ ? WS_POPUP
                : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD exStyle = speedBar_ ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST : 0;
  {
    Applying applying(applying_);
    if (!Create(className, exStyle, style, Wide(model.Title()), OuterRect(), nullptr)) return;
  }
  // A per-monitor aware program may learn another DPI from its window than from the point.
  using GetDpiForWindowFunction = UINT WINAPI(HWND);
  static const platform::win32::ScopedModule user32(L"user32.dll");
  static const auto getDpiForWindow = user32.Find<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow) {
    const int windowDpi = static_cast<int>(getDpiForWindow(Handle()));
    if (windowDpi > 0 && windowDpi != dpi_) {
      dpi_ = windowDpi;
      Applying applying(applying_);
      const RECT outer = OuterRect();
      SetWindowPos(Handle(), nullptr, outer.left, outer.top, outer.right - outer.left,
                   outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated program hears the shell's broadcast only when it lets the message in.
  ChangeWindowMessageFilterEx(Handle(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
  tray_ = std::make_unique<NotifyIcon>(Handle(), kTrayMessage);
  CreateResources();
  {
    Applying applying(applying_);
    CreateControls();
  }
  ApplyInitialState();
  model_.AddObserver(this);
}

ModelWindow::~ModelWindow() {
  model_.RemoveObserver(this);
  HideBalloon();
  tray_.reset();
  for (const ControlSlot& slot : slots_)
    if (slot.control->Kind() == ControlKind::Timer && Handle())
      KillTimer(Handle(), kFirstControlId + slot.index);
  // The owned popups go first, then the window while this object still handles its
  // last messages; the fonts and pictures it uses are freed after it.
  hoverTips_.Reset();
  balloon_.Reset();
  Destroy();
}

void ModelWindow::CreateResources() {
  font_ = CreateUiFont(dpi_);
  linkFont_ = CreateUiFont(dpi_, true);
  if (speedBar_) {
    ApplyShape();
  } else {
    // The program's own icon resource when it has one; painted otherwise.
    const auto icon = [](int size) {
      if (HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                     size, size, LR_DEFAULTCOLOR))
        return ScopedIcon(static_cast<HICON>(loaded));
      return IconOf(PaintWindowIcon(size));
    };
    smallIcon_ = icon(GetSystemMetrics(SM_CXSMICON));
    bigIcon_ = icon(GetSystemMetrics(SM_CXICON));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
  }
}

void ModelWindow::ApplyShape() {
  const Image picture = PaintSpeedBar(dpi_);
  background_ = BitmapOf(picture);
  ScopedRegion shape = RegionOf(picture, kShapeTransparent);
  // The window owns the region from here on.
  if (shape && SetWindowRgn(Handle(), shape.Get(), TRUE)) shape.Release();
}

void ModelWindow::CreateControls() {
  const std::vector<Control*>& controls = model_.Controls();
  slots_.resize(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    slots_[i].control = controls[i];
    slots_[i].index = i;
    slots_[i].owner = this;
    slotIndex_[controls[i]] = i;
  }
  // The tab control first: the controls of its pages are its children.
  for (ControlSlot& slot : slots_)
    if (slot.control->Kind() == ControlKind::TabControl && !tabs_) {
      CreateControlWindow(slot);
      tabs_ = slot.window;
    }
  // The window comes up with the page it shows; the other pages' controls follow once
  // it has painted (a timer message comes after the paint), or at once when one of
  // those pages is chosen first.
  const TabControl* tabs = TabControlOf(model_);
  const int shownPage = tabs ? tabs->CurrentTab() : -1;
  for (ControlSlot& slot : slots_) {
    const int page = slot.control->TabPage();
    if (HasWindow(slot.control->Kind()) && !slot.window && (page == -1 || page == shownPage))
      CreateControlWindow(slot);
  }
  PutGroupBoxesUnder();
  otherPagesPending_ = std::any_of(slots_.begin(), slots_.end(), [](const ControlSlot& slot) {
    return HasWindow(slot.control->Kind()) && !slot.window;
  });
  if (otherPagesPending_) SetTimer(Handle(), kOtherPagesTimerId, 0, nullptr);
}

void ModelWindow::CreateOtherPages() {
  if (!otherPagesPending_) return;
  otherPagesPending_ = false;
  KillTimer(Handle(), kOtherPagesTimerId);
  Applying applying(applying_);
  for (ControlSlot& slot : slots_) {
    if (!HasWindow(slot.control->Kind()) || slot.window) continue;
    CreateControlWindow(slot);
    if (!slot.window) continue;
    ApplyVisible(slot);
    if (!slot.control->Tip().empty()) ApplyTip(slot);
  }
  PutGroupBoxesUnder();
}

void ModelWindow::PutGroupBoxesUnder() {
  // Group boxes lie under everything else, whatever their place in the design order.
  for (const ControlSlot& slot : slots_)
    if (slot.window && slot.control->Kind() == ControlKind::GroupBox)
      SetWindowPos(slot.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ModelWindow::CreateControlWindow(ControlSlot& slot) {
  Control& control = *slot.control;
  const ControlKind kind = control.Kind();
  const wchar_t* className = WC_STATICW;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  std::wstring text = Wide(control.Text());
  switch (kind) {
    case ControlKind::TabControl:
      className = WC_TABCONTROLW;
      style |= WS_TABSTOP | TCS_TABS;
      break;
    case ControlKind::GroupBox:
      // Drawn by the view, under the controls above it, so no sibling clipping.
      className = WC_BUTTONW;
      style = WS_CHILD | BS_GROUPBOX;
      break;
    case ControlKind::Label:
      style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | LineStyle(control.Text());
      break;
    case ControlKind::TransparentLabel:
      // Painted after the siblings beneath it, so that it shows them.
      style = WS_CHILD | SS_LEFTNOWORDWRAP | SS_NOPREFIX | LineStyle(control.Text());
      exStyle = WS_EX_TRANSPARENT;
      if (speedBar_ && &control == &speedBar_->透明标签1) style |= SS_NOTIFY;
      break;
    case ControlKind::EditBox:
      className = WC_EDITW;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Button:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
      break;
    case ControlKind::CheckBox:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_CHECKBOX;  // the model decides the state
      break;
    case ControlKind::RadioButton:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_RADIOBUTTON;
      break;
    case ControlKind::ComboBox:
      className = WC_COMBOBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
               (static_cast<ComboBox&>(control).Editable() ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
      break;
    case ControlKind::ListView:
      className = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Slider:
      className = TRACKBAR_CLASSW;
      style |= WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS;
      break;
    case ControlKind::PictureBox:
    case ControlKind::DrawPanel:
      className = kPictureClass;
      break;
    case ControlKind::Hyperlink:
      style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
      break;
    case ControlKind::HtmlBrowser:
      className = kBrowserClass;
      break;
    case ControlKind::SimpleHtmlBox:
      className = WC_EDITW;
      style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      text = Wide(HtmlToText(control.Text()));
      break;
    default:
      return;
  }
  if (!control.Enabled()) style |= WS_DISABLED;
  if (kind == ControlKind::EditBox && static_cast<EditBox&>(control).Masked()) style |= ES_PASSWORD;
  const HWND parent = OnTabPage(control) && tabs_ ? tabs_ : Handle();
  Rect rect = ScaleRect(LayoutRect(control), dpi_);
  if (kind == ControlKind::ComboBox) rect.height += Scale(kComboListHeight);
  const HWND window =
      CreateWindowExW(exStyle, className, kind == ControlKind::ComboBox ? L"" : text.c_str(), style,
                      rect.left, rect.top, rect.width, rect.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + slot.index)),
                      GetModuleHandleW(nullptr), nullptr);
  if (!window) return;
  slot.window = window;
  // Later controls lie over earlier ones, as in the design.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(
      window, WM_SETFONT,
      reinterpret_cast<WPARAM>(kind == ControlKind::Hyperlink ? linkFont_.Get() : font_.Get()),
      FALSE);
  SetWindowSubclass(window, &ModelWindow::ControlProcedure, 1, reinterpret_cast<DWORD_PTR>(&slot));
  switch (kind) {
    case ControlKind::TabControl: {
      // The classic tab body is the button face, the background every static here uses.
      SetWindowTheme(window, L"", L"");
      auto& tabs = static_cast<TabControl&>(control);
      for (std::size_t i = 0; i < tabs.Tabs().size(); ++i) {
        std::wstring title = Wide(tabs.Tabs()[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        SendMessageW(window, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
      SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(tabs.CurrentTab()), 0);
      break;
    }
    case ControlKind::EditBox:
      if (static_cast<EditBox&>(control).Masked())
        SendMessageW(window, EM_SETPASSWORDCHAR, kPasswordChar, 0);
      // The frame is measured again, now with the text's height known.
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      SendMessageW(window, BM_SETCHECK,
                   static_cast<CheckBox&>(control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::ComboBox: {
      COMBOBOXINFO info{sizeof info};
      if (static_cast<ComboBox&>(control).Editable() && GetComboBoxInfo(window, &info) &&
          info.hwndItem && info.hwndItem != window) {
        slot.comboEdit = info.hwndItem;
        // The field's own ID (1001) would be taken for the control of index 1 by a tool
        // that finds controls by ID; the combo box knows its field by handle.
        SetWindowLongPtrW(slot.comboEdit, GWLP_ID, kComboEditId);
        SetWindowSubclass(slot.comboEdit, &ModelWindow::ControlProcedure, 2,
                          reinterpret_cast<DWORD_PTR>(&slot));
      }
      ApplyComboItems(slot);
      break;
    }
    case ControlKind::ListView: {
      SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
      const auto& columns = static_cast<ListView&>(control).Columns();
      for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring title = Wide(columns[i].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = Scale(columns[i].width);
        column.iSubItem = static_cast<int>(i);
        SendMessageW(window, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
      }
      ApplyRows(slot);
      break;
    }
    case ControlKind::Slider: {
      const auto& slider = static_cast<Slider&>(control);
      SendMessageW(window, TBM_SETRANGEMIN, FALSE, slider.Minimum());
      SendMessageW(window, TBM_SETRANGEMAX, FALSE, slider.Maximum());
      SendMessageW(window, TBM_SETTICFREQ,
                   static_cast<WPARAM>(std::max(1, (slider.Maximum() - slider.Minimum()) / 10)), 0);
      SendMessageW(window, TBM_SETPAGESIZE, 0, 1);
      SendMessageW(window, TBM_SETPOS, TRUE, slider.Position());
      break;
    }
    default:
      break;
  }
}

void ModelWindow::ApplyInitialState() {
  Applying applying(applying_);
  for (ControlSlot& slot : slots_) {
    if (slot.window) {
      ApplyVisible(slot);
      if (!slot.control->Tip().empty()) ApplyTip(slot);
    }
    if (slot.control->Kind() == ControlKind::Timer) ApplyInterval(slot);
  }
  ApplyTray();
  if (model_.Topmost()) ApplyTopmost();
  if (!model_.Bordered()) ApplyBorder();
  ApplyWindowVisible();
}

// ---------------------------------------------------------------------------------------
// Small helpers

int ModelWindow::Scale(int length) const { return ScaleLength(length, dpi_); }
int ModelWindow::Unscale(int pixels) const { return UnscaleLength(pixels, dpi_); }

RECT ModelWindow::OuterRect() const {
  // The position is in screen pixels; only the size follows the DPI.
  const Rect& g = model_.Geometry();
  return {g.left, g.top, g.left + std::max(0, Scale(g.width)),
          g.top + std::max(0, Scale(g.height))};
}

ModelWindow::ControlSlot* ModelWindow::SlotOfWindow(HWND window) {
  if (!window) return nullptr;
  const int index = GetDlgCtrlID(window) - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(slots_.size())) return nullptr;
  ControlSlot& slot = slots_[static_cast<std::size_t>(index)];
  return slot.window == window ? &slot : nullptr;
}

ModelWindow::ControlSlot* ModelWindow::SlotOf(const Control& control) {
  const auto found = slotIndex_.find(&control);
  return found == slotIndex_.end() ? nullptr : &slots_[found->second];
}

void ModelWindow::RedrawUnder(HWND window) const {
  const HWND parent = GetParent(window);
  if (!parent) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HBITMAP ModelWindow::PictureBitmap(Picture picture) {
  auto found = pictures_.find(picture);
  if (found == pictures_.end())
    found = pictures_.emplace(picture, BitmapOf(PaintPicture(picture, dpi_))).first;
  return found->second.Get();
}

HICON ModelWindow::TrayIconFor(TrayImage image) {
  auto found = trayIcons_.find(image);
  if (found == trayIcons_.end())
    found = trayIcons_.emplace(image, IconOf(PaintTrayIcon(image, GetSystemMetrics(SM_CXSMICON))))
                .first;
  return found->second.Get();
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT CALLBACK ModelWindow::ControlProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR slot) noexcept {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &ModelWindow::ControlProcedure, id);
  auto& controlSlot = *reinterpret_cast<ControlSlot*>(slot);
  try {
    bool handled = false;
    const LRESULT result =
        controlSlot.owner->OnControlMessage(controlSlot, window, message, wParam, lParam, handled);
    if (handled) return result;
  } catch (...) {
    // The handler that failed has done nothing more; the control goes on as usual.
    platform::ReportCurrentException("control procedure");
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT ModelWindow::OnControlMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam, bool& handled) {
  Control& control = *slot.control;
  const ControlKind kind = control.Kind();
  if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT &&
      (control.HandCursor() || kind == ControlKind::Hyperlink)) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    handled = true;
    return TRUE;
  }
  switch (kind) {
    case ControlKind::TabControl:
      switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_HSCROLL: {
          // Handled here only: the tab control would pass its children's notifications on
          // to the window, which would handle them a second time.
          const LRESULT result = OnChildMessage(message, wParam, lParam, handled);
          if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_HSCROLL)
            handled = handled || FromControl(message, wParam, lParam);
          return result;
        }
        case WM_PAINT:
        case WM_PRINTCLIENT: {
          // Drawn by the view, so that the pages have the button face whatever the theme:
          // the colour every static on them is drawn in.
          ScopedPaint paint(window,
                            message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
          PaintTabs(slot, paint.Get());
          handled = true;
          return 0;
        }
        case WM_ERASEBKGND:
          handled = true;
          return 1;
        case WM_RBUTTONUP: {
          // Over the page itself, or over a group box's empty inside: the window's own.
          const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          const HWND hit = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE);
          const ControlSlot* hitSlot = hit == window ? nullptr : SlotOfWindow(hit);
          if (hit == window || (hitSlot && hitSlot->control->Kind() == ControlKind::GroupBox))
            ReleaseRightButton(model_);
          break;
        }
        default:
          break;
      }
      break;
    case ControlKind::GroupBox:
      switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT: {
          ScopedPaint paint(window,
                            message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
          PaintGroupBox(slot, paint.Get());
          handled = true;
          return 0;
        }
        case WM_ERASEBKGND:
          handled = true;
          return 1;
        case WM_SETTEXT:
        case WM_ENABLE:
        case WM_UPDATEUISTATE: {
          // The button class would paint its own group box at once; store and redraw ours.
          const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
          RedrawUnder(window);
          handled = true;
          return result;
        }
        default:
          break;
      }
      break;
    case ControlKind::TransparentLabel:
      if (message == WM_SETTEXT) {
        // The label's own repaint would draw over the old text; its background must go first.
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        RedrawUnder(window);
        handled = true;
        return result;
      }
      if (speedBar_ && &control == &speedBar_->透明标签1) {
        switch (message) {
          case WM_LBUTTONDOWN:
            PressLeftButton(*speedBar_);
            // The bar is dragged as if by a title bar.
            ReleaseCapture();
            SendMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            handled = true;
            return 0;
          case WM_LBUTTONDBLCLK:
            DoubleClick(*speedBar_);
            handled = true;
            return 0;
          case WM_RBUTTONDOWN:
            PressRightButton(*speedBar_);
            handled = true;
            return 0;
          default:
            break;
        }
      }
      break;
    case ControlKind::EditBox:
      if (message == WM_KEYUP && !applying_)
        ReleaseKey(static_cast<EditBox&>(control), static_cast<int>(wParam));
      return PadEditBox(window, message, wParam, lParam, handled);
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control);
      // Keys go to the edit field of an editable combo, to the combo itself otherwise.
      if (message == WM_KEYDOWN && !applying_ && (window == slot.comboEdit || !combo.Editable()))
        PressKey(combo, static_cast<int>(wParam));
      break;
    }
    case ControlKind::Hyperlink:
      if (message == WM_LBUTTONUP) Release(static_cast<Hyperlink&>(control));
      break;
    case ControlKind::PictureBox:
    case ControlKind::DrawPanel:
      switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT: {
          ScopedPaint paint(window,
                            message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
          PaintPictureControl(slot, paint.Get());
          handled = true;
          return 0;
        }
        case WM_ERASEBKGND:
          handled = true;
          return 1;
        case WM_LBUTTONUP:
          Release(static_cast<PictureControl&>(control));
          handled = true;
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return 0;
}

bool ModelWindow::FromControl(UINT message, WPARAM, LPARAM lParam) {
  const HWND from = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom
                                         : reinterpret_cast<HWND>(lParam);
  return SlotOfWindow(from) != nullptr;
}

LRESULT ModelWindow::OnChildMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam)))
        OnCommand(*slot, HIWORD(wParam));
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (ControlSlot* slot = SlotOfWindow(header.hwndFrom))
        return OnNotify(*slot, header, handled);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam)))
        return OnColour(*slot, reinterpret_cast<HDC>(wParam), handled);
      break;
    case WM_HSCROLL:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam))) {
        OnSlider(*slot);
        handled = true;
      }
      break;
    default:
      break;
  }
  return 0;
}

void ModelWindow::OnCommand(ControlSlot& slot, UINT code) {
  // What the view itself does to a control is no user's doing.
  if (applying_) return;
  Control& control = *slot.control;
  switch (control.Kind()) {
    case ControlKind::Button:
      if (code == BN_CLICKED) Click(static_cast<Button&>(control));
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (code == BN_CLICKED) Click(static_cast<CheckBox&>(control));
      break;
    case ControlKind::EditBox:
      if (code == EN_CHANGE) Type(static_cast<EditBox&>(control), Utf8(TextOf(slot.window)));
      if (code == EN_KILLFOCUS) LoseFocus(static_cast<EditBox&>(control));
      break;
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control);
      if (code == CBN_SELCHANGE) {
        Choose(combo, static_cast<int>(SendMessageW(slot.window, CB_GETCURSEL, 0, 0)));
      } else if (code == CBN_EDITCHANGE) {
        Type(combo, Utf8(TextOf(slot.window)));
      } else if (code == CBN_KILLFOCUS) {
        LoseFocus(combo);
      }
      break;
    }
    default:
      break;
  }
}

LRESULT ModelWindow::OnNotify(ControlSlot& slot, const NMHDR& header, bool& handled) {
  if (applying_) return 0;
  Control& control = *slot.control;
  if (control.Kind() == ControlKind::ListView) {
    auto& list = static_cast<ListView&>(control);
    const auto& activation = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (header.code == LVN_ITEMCHANGED &&
        (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE))
      NoteRowSelection(slot);
    if (header.code == NM_RCLICK) RightClickRow(list, activation.iItem);
    if (header.code == NM_DBLCLK) DoubleClickCell(list, HitTest(slot, activation.ptAction));
  } else if (control.Kind() == ControlKind::TabControl && header.code == TCN_SELCHANGE) {
    ChooseTab(static_cast<TabControl&>(control),
              static_cast<int>(SendMessageW(slot.window, TCM_GETCURSEL, 0, 0)));
    handled = true;
  }
  return 0;
}

LRESULT ModelWindow::OnColour(ControlSlot& slot, HDC dc, bool& handled) {
  const Control& control = *slot.control;
  const Colour* colour = control.TextColour();
  const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  switch (control.Kind()) {
    case ControlKind::TransparentLabel:
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, colour      ? RgbOf(*colour)
                       : speedBar_ ? kSpeedBarText
                                   : GetSysColor(COLOR_WINDOWTEXT));
      handled = true;
      return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
    case ControlKind::Label:
    case ControlKind::Hyperlink:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Slider:
    case ControlKind::GroupBox:
      SetTextColor(dc, colour                                     ? RgbOf(*colour)
                       : control.Kind() == ControlKind::Hyperlink ? kLinkColour
                                                                  : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      handled = true;
      return reinterpret_cast<LRESULT>(face);
    case ControlKind::SimpleHtmlBox:
      // A document, not a form: black on white although it is read-only.
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
      handled = true;
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default:
      return 0;
  }
}

void ModelWindow::OnSlider(ControlSlot& slot) {
  if (applying_ || slot.control->Kind() != ControlKind::Slider) return;
  MoveSlider(static_cast<Slider&>(*slot.control),
             static_cast<int>(SendMessageW(slot.window, TBM_GETPOS, 0, 0)));
}

void ModelWindow::OnTrayEvent(UINT event) {
  for (ControlSlot& slot : slots_) {
    if (slot.control->Kind() != ControlKind::TrayIcon) continue;
    auto& tray = static_cast<TrayIcon&>(*slot.control);
    if (event == WM_LBUTTONUP) ClickTray(tray, TrayClick::Left);
    if (event == WM_LBUTTONDBLCLK) ClickTray(tray, TrayClick::LeftDouble);
    if (event == WM_RBUTTONUP) ClickTray(tray, TrayClick::Right);
    return;
  }
}

void ModelWindow::NoteGeometry() {
  if (applying_ || !Handle() || IsIconic(Handle())) return;
  RECT rect{};
  GetWindowRect(Handle(), &rect);
  Applying noting(noting_);
  NoteMoved(model_,
            {rect.left, rect.top, Unscale(rect.right - rect.left), Unscale(rect.bottom - rect.top)});
}

void ModelWindow::NoteState(const WINDOWPOS& position) {
  // Another program may show or hide the window (a second copy brings it up from the
  // tray); what the view itself does is in the model already.
  if (applying_ || !Handle()) return;
  Applying noting(noting_);
  if (position.flags & SWP_SHOWWINDOW) NoteShown(model_, true);
  if (position.flags & SWP_HIDEWINDOW) NoteShown(model_, false);
  NoteMinimised(model_, IsIconic(Handle()) != FALSE);
}

ListHit ModelWindow::HitTest(ControlSlot& slot, POINT point) {
  LVHITTESTINFO info{};
  info.pt = point;
  ListHit hit;
  if (SendMessageW(slot.window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)) < 0 ||
      info.iItem < 0)
    return hit;
  POINT row{};
  SendMessageW(slot.window, LVM_GETITEMPOSITION, static_cast<WPARAM>(info.iItem),
               reinterpret_cast<LPARAM>(&row));
  hit.row = info.iItem;
  hit.column = info.iSubItem;
  hit.rowPosition = {Unscale(row.x), Unscale(row.y)};
  return hit;
}

LRESULT ModelWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL: {
      bool handled = false;
      const LRESULT result = OnChildMessage(message, wParam, lParam, handled);
      if (handled) return result;
      break;
    }
    case WM_TIMER:
      if (wParam == kBalloonTimerId) {
        HideBalloon();
      } else if (wParam == kOtherPagesTimerId) {
        CreateOtherPages();
      } else if (wParam >= kFirstControlId && wParam - kFirstControlId < slots_.size()) {
        Control& control = *slots_[wParam - kFirstControlId].control;
        if (control.Kind() == ControlKind::Timer) Tick(static_cast<Timer&>(control));
      }
      return 0;
    case kTrayMessage:
      OnTrayEvent(LOWORD(lParam));
      return 0;
    case kPopUpMessage:
      PopUpMenu(static_cast<std::size_t>(wParam));
      return 0;
    case kHideBalloonMessage:
      HideBalloon();
      return 0;
    case WM_CLOSE:
      // The program decides; its close sequence ends it.
      RequestClose(model_);
      return 0;
    case WM_QUERYENDSESSION:
      RequestClose(model_);
      return TRUE;
    case WM_RBUTTONUP:
      ReleaseRightButton(model_);
      break;
    case WM_ENTERSIZEMOVE:
      moving_ = true;
      break;
    case WM_EXITSIZEMOVE:
      // A drag tells the model once, where it ended.
      moving_ = false;
      NoteGeometry();
      break;
    case WM_WINDOWPOSCHANGED:
      NoteState(*reinterpret_cast<const WINDOWPOS*>(lParam));
      if (!moving_) NoteGeometry();
      break;
    case WM_GETMINMAXINFO:
      // The closing animation shrinks the window to nothing.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
      return 0;
    case WM_ERASEBKGND:
      if (speedBar_ && background_) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        BITMAP info{};
        GetObjectW(background_.Get(), sizeof info, &info);
        ScopedMemoryDc memory(CreateCompatibleDC(dc));
        ScopedSelection selected(memory.Get(), background_.Get());
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
        return 1;
      }
      break;
    case WM_DPICHANGED:
      ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      if (tray_) tray_->Remove();
      break;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (tray_) tray_->Restore();
        return 0;
      }
      break;
  }
  return Default(message, wParam, lParam);
}

bool ModelWindow::HandleTabKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !Handle()) return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd)) return false;
  const int count = static_cast<int>(slots_.size());
  int current = -1;
  for (const ControlSlot& slot : slots_)
    if (slot.window && (slot.window == message.hwnd || IsChild(slot.window, message.hwnd)))
      current = static_cast<int>(slot.index);
  const int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  // Without a focused control the walk starts just before the first (or after the last).
  int i = current >= 0 ? current : step > 0 ? count - 1 : 0;
  for (int k = 0; k < count; ++k) {
    i = (i + step + count) % count;
    const ControlSlot& slot = slots_[static_cast<std::size_t>(i)];
    if (!slot.window || !TakesFocus(slot.control->Kind()) || !IsWindowVisible(slot.window) ||
        !IsWindowEnabled(slot.window))
      continue;
    SetFocus(slot.window);
    if (slot.control->Kind() == ControlKind::EditBox) SendMessageW(slot.window, EM_SETSEL, 0, -1);
    return true;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Model to window

void ModelWindow::OnControlChanged(Control& control, Change change) {
  ControlSlot* slot = SlotOf(control);
  if (!slot || !Handle()) return;
  Applying applying(applying_);
  const ControlKind kind = control.Kind();
  switch (change) {
    case Change::Text:
    case Change::Content:
      ApplyText(*slot);
      break;
    case Change::Enabled:
      ApplyEnabled(*slot);
      break;
    case Change::Visible:
      ApplyVisible(*slot);
      break;
    case Change::Checked:
      if (slot->window)
        SendMessageW(slot->window, BM_SETCHECK,
                     static_cast<CheckBox&>(control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Change::Geometry:
      ApplyGeometry(*slot);
      break;
    case Change::TextColour:
      if (slot->window) {
        if (SeeThrough(kind))
          RedrawUnder(slot->window);
        else
          InvalidateRect(slot->window, nullptr, TRUE);
      }
      break;
    case Change::Tip:
      if (kind == ControlKind::TrayIcon)
        ApplyTray();
      else
        ApplyTip(*slot);
      break;
    case Change::Masked:
      if (slot->window && kind == ControlKind::EditBox) {
        SendMessageW(slot->window, EM_SETPASSWORDCHAR,
                     static_cast<EditBox&>(control).Masked() ? kPasswordChar : 0, 0);
        InvalidateRect(slot->window, nullptr, TRUE);
      }
      break;
    case Change::Items:
      ApplyComboItems(*slot);
      break;
    case Change::Selection:
      if (kind == ControlKind::ComboBox) ApplyComboSelection(*slot);
      if (kind == ControlKind::TabControl) ApplyTabSelection();
      break;
    case Change::Rows:
      ApplyRows(*slot);
      ApplyRowSelection(*slot);
      break;
    case Change::RowSelection:
      ApplyRowSelection(*slot);
      break;
    case Change::Position:
      if (slot->window && kind == ControlKind::Slider)
        SendMessageW(slot->window, TBM_SETPOS, TRUE, static_cast<Slider&>(control).Position());
      break;
    case Change::Interval:
      ApplyInterval(*slot);
      break;
    case Change::Picture:
      if (kind == ControlKind::TrayIcon)
        ApplyTray();
      else if (slot->window)
        InvalidateRect(slot->window, nullptr, FALSE);
      break;
    case Change::Balloon:
      if (kind == ControlKind::TrayIcon) {
        const TrayIcon::Notice& notice = static_cast<TrayIcon&>(control).LastNotice();
        tray_->Notice(notice.title, notice.text);
      } else if (kind == ControlKind::BalloonTip) {
        ShowBalloon(static_cast<BalloonTip&>(control));
      }
      break;
    case Change::Focus:
      if (slot->window) SetFocus(slot->window);
      break;
    case Change::PopUp:
      // After the handler that asked for it: the menu runs a loop of its own.
      PostMessageW(Handle(), kPopUpMessage, slot->index, 0);
      break;
  }
}

void ModelWindow::OnWindowChanged(WindowModel&, WindowChange change) {
  // A change the view has just noted from the window is there already.
  if (!Handle() || noting_) return;
  Applying applying(applying_);
  switch (change) {
    case WindowChange::Title:
      SetWindowTextW(Handle(), Wide(model_.Title()).c_str());
      break;
    case WindowChange::Geometry:
      ApplyWindowGeometry();
      break;
    case WindowChange::Visible:
      ApplyWindowVisible();
      break;
    case WindowChange::Minimised:
      ShowWindow(Handle(), model_.Minimised() ? SW_MINIMIZE : SW_RESTORE);
      break;
    case WindowChange::Topmost:
      ApplyTopmost();
      break;
    case WindowChange::Border:
      ApplyBorder();
      break;
    case WindowChange::Activate:
      Activate();
      break;
  }
}

void ModelWindow::ApplyText(ControlSlot& slot) {
  if (!slot.window) return;
  const Control& control = *slot.control;
  switch (control.Kind()) {
    case ControlKind::ComboBox:
      ApplyComboText(slot);
      return;
    case ControlKind::SimpleHtmlBox:
      SetWindowTextW(slot.window, Wide(HtmlToText(control.Text())).c_str());
      return;
    case ControlKind::TabControl:
    case ControlKind::ListView:
    case ControlKind::Slider:
      return;
    case ControlKind::Label:
    case ControlKind::TransparentLabel: {
      const LONG_PTR style = GetWindowLongPtrW(slot.window, GWL_STYLE);
      SetWindowLongPtrW(
          slot.window, GWL_STYLE,
          (style & ~static_cast<LONG_PTR>(SS_CENTERIMAGE)) | LineStyle(control.Text()));
      SetWindowTextW(slot.window, Wide(control.Text()).c_str());
      return;
    }
    default: {
      // A text the user has just typed is there already; setting it again would move the
      // caret.
      const std::wstring text = Wide(control.Text());
      if (TextOf(slot.window) != text) SetWindowTextW(slot.window, text.c_str());
      return;
    }
  }
}

void ModelWindow::ApplyVisible(ControlSlot& slot) {
  if (!slot.window) return;
  const bool show = ShownOnScreen(*slot.control);
  const bool shown = (GetWindowLongPtrW(slot.window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (show != shown) ShowWindow(slot.window, show ? SW_SHOWNA : SW_HIDE);
}

void ModelWindow::ApplyEnabled(ControlSlot& slot) {
  if (!slot.window) return;
  EnableWindow(slot.window, slot.control->Enabled() ? TRUE : FALSE);
  if (SeeThrough(slot.control->Kind())) RedrawUnder(slot.window);
}

void ModelWindow::ApplyGeometry(ControlSlot& slot) {
  if (!slot.window) return;
  const Control& control = *slot.control;
  Rect rect = ScaleRect(LayoutRect(control), dpi_);
  if (control.Kind() == ControlKind::ComboBox) rect.height += Scale(kComboListHeight);
  MoveWindow(slot.window, rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height),
             TRUE);
  // Moving uncovers the old place only; what is drawn over the background needs the
  // new place cleared as well.
  if (SeeThrough(control.Kind())) RedrawUnder(slot.window);
  if (control.Kind() == ControlKind::GroupBox)
    for (ControlSlot& inner : slots_)
      if (inner.control->GroupBox() == &control) ApplyGeometry(inner);
}

void ModelWindow::ApplyTip(ControlSlot& slot) {
  if (!slot.window) return;
  if (!hoverTips_) {
    hoverTips_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
    if (!hoverTips_) return;
    // A width makes the tip break its lines at "\r\n".
    SendMessageW(hoverTips_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(400));
    SendMessageW(hoverTips_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
  std::wstring tip = Wide(slot.control->Tip());
  for (const HWND tool : {slot.window, slot.comboEdit}) {
    if (!tool) continue;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    SendMessageW(hoverTips_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (tip.empty()) continue;
    info.lpszText = tip.data();
    SendMessageW(hoverTips_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  // A static control lets the mouse through unless it notifies; the tip needs the mouse.
  const ControlKind kind = slot.control->Kind();
  if (!tip.empty() && (kind == ControlKind::Label || kind == ControlKind::TransparentLabel)) {
    const LONG_PTR style = GetWindowLongPtrW(slot.window, GWL_STYLE);
    SetWindowLongPtrW(slot.window, GWL_STYLE, style | SS_NOTIFY);
  }
}

void ModelWindow::ApplyComboItems(ControlSlot& slot) {
  if (!slot.window || slot.control->Kind() != ControlKind::ComboBox) return;
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  SendMessageW(slot.window, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : combo.Items())
    SendMessageW(slot.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  ApplyComboSelection(slot);
}

void ModelWindow::ApplyComboSelection(ControlSlot& slot) {
  if (!slot.window || slot.control->Kind() != ControlKind::ComboBox) return;
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  const int selected = combo.SelectedIndex();
  if (SendMessageW(slot.window, CB_GETCURSEL, 0, 0) != selected)
    SendMessageW(slot.window, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  // Clearing the selection clears the field too; the model keeps its text.
  if (combo.Editable()) ApplyComboText(slot);
}

void ModelWindow::ApplyComboText(ControlSlot& slot) {
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  const std::wstring text = Wide(combo.Text());
  if (combo.Editable()) {
    if (TextOf(slot.window) != text) SetWindowTextW(slot.window, text.c_str());
    return;
  }
  // A list that cannot be typed into shows an item or nothing.
  const LRESULT found = text.empty()
                            ? CB_ERR
                            : SendMessageW(slot.window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
  const LRESULT index = found == CB_ERR ? -1 : found;
  if (SendMessageW(slot.window, CB_GETCURSEL, 0, 0) != index)
    SendMessageW(slot.window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ModelWindow::ApplyRows(ControlSlot& slot) {
  if (!slot.window || slot.control->Kind() != ControlKind::ListView) return;
  const auto& rows = static_cast<ListView&>(*slot.control).Rows();
  auto& shown = slot.shownRows;
  const HWND list = slot.window;
  const auto setCell = [list](std::size_t row, std::size_t column, const std::string& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.iSubItem = static_cast<int>(column);
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  };
  // Rows taken out of the middle leave as items, so the rows below keep their selection.
  std::size_t same = 0;
  while (same < rows.size() && same < shown.size() && rows[same] == shown[same]) ++same;
  if (shown.size() > rows.size()) {
    const std::size_t gone = shown.size() - rows.size();
    if (std::equal(rows.begin() + static_cast<std::ptrdiff_t>(same), rows.end(),
                   shown.begin() + static_cast<std::ptrdiff_t>(same + gone))) {
      for (std::size_t k = 0; k < gone; ++k) SendMessageW(list, LVM_DELETEITEM, same, 0);
      shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(same),
                  shown.begin() + static_cast<std::ptrdiff_t>(same + gone));
      return;
    }
  }
  while (shown.size() > rows.size()) {
    SendMessageW(list, LVM_DELETEITEM, shown.size() - 1, 0);
    shown.pop_back();
  }
  for (std::size_t row = same; row < rows.size(); ++row) {
    if (row == shown.size()) {
      std::wstring first = rows[row].empty() ? std::wstring() : Wide(rows[row][0]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.pszText = first.data();
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      shown.emplace_back(rows[row].size());
      if (!rows[row].empty()) shown[row][0] = rows[row][0];
    }
    for (std::size_t column = 0; column < rows[row].size(); ++column) {
      if (column < shown[row].size() && shown[row][column] == rows[row][column]) continue;
      setCell(row, column, rows[row][column]);
      if (column >= shown[row].size()) shown[row].resize(column + 1);
      shown[row][column] = rows[row][column];
    }
  }
}

void ModelWindow::ApplyRowSelection(ControlSlot& slot) {
  if (!slot.window || slot.control->Kind() != ControlKind::ListView) return;
  const auto& list = static_cast<ListView&>(*slot.control);
  for (std::size_t row = 0; row < list.RowCount(); ++row) {
    const UINT wanted = list.Selected(row) ? LVIS_SELECTED : 0;
    if ((SendMessageW(slot.window, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) == wanted)
      continue;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = wanted;
    SendMessageW(slot.window, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
}

void ModelWindow::NoteRowSelection(ControlSlot& slot) {
  auto& list = static_cast<ListView&>(*slot.control);
  std::vector<std::size_t> rows;
  for (int row = -1;;) {
    row = static_cast<int>(SendMessageW(slot.window, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                        LVNI_SELECTED));
    if (row < 0) break;
    rows.push_back(static_cast<std::size_t>(row));
  }
  SelectRows(list, rows);
}

void ModelWindow::ApplyInterval(ControlSlot& slot) {
  if (slot.control->Kind() != ControlKind::Timer) return;
  const int interval = static_cast<Timer&>(*slot.control).Interval();
  const UINT_PTR id = kFirstControlId + slot.index;
  if (interval > 0)
    SetTimer(Handle(), id, static_cast<UINT>(interval), nullptr);
  else
    KillTimer(Handle(), id);
}

void ModelWindow::ApplyTray() {
  for (const ControlSlot& slot : slots_) {
    if (slot.control->Kind() != ControlKind::TrayIcon) continue;
    const auto& tray = static_cast<const TrayIcon&>(*slot.control);
    if (tray.Image() == TrayImage::None)
      tray_->Remove();
    else
      tray_->Show(TrayIconFor(tray.Image()), tray.Tip());
    return;
  }
}

void ModelWindow::ApplyTabSelection() {
  const TabControl* tabs = TabControlOf(model_);
  if (!tabs || !tabs_) return;
  CreateOtherPages();
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != tabs->CurrentTab())
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(tabs->CurrentTab()), 0);
  // The old page goes before the new one comes, so nothing is drawn twice.
  for (ControlSlot& slot : slots_)
    if (slot.window && !ShownOnScreen(*slot.control)) ApplyVisible(slot);
  for (ControlSlot& slot : slots_)
    if (slot.window && ShownOnScreen(*slot.control)) ApplyVisible(slot);
}

void ModelWindow::ApplyWindowGeometry() {
  // A minimised window is restored before it moves.
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  const RECT outer = OuterRect();
  SetWindowPos(Handle(), nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModelWindow::ApplyWindowVisible() {
  if (model_.Visible()) {
    // The speed bar never takes the activation; the main window comes back restored.
    ShowWindow(Handle(), speedBar_ ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  } else {
    HideBalloon();
    links_.Hide();
    ShowWindow(Handle(), SW_HIDE);
  }
}

void ModelWindow::ApplyTopmost() {
  SetWindowPos(Handle(), model_.Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ModelWindow::ApplyBorder() {
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                                  WS_THICKFRAME | WS_BORDER | WS_DLGFRAME);
  SetWindowLongPtrW(Handle(), GWL_STYLE, style | WS_POPUP);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModelWindow::Activate() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

void ModelWindow::ShowBalloon(BalloonTip& tip) {
  if (hoverTips_) SendMessageW(hoverTips_.Get(), TTM_POP, 0, 0);
  RECT outer{};
  GetWindowRect(Handle(), &outer);
  const Point point = tip.LastPoint();
  const POINT at{outer.left + Scale(point.x), outer.top + Scale(point.y)};
  std::vector<HtmlLink> links = HtmlLinks(tip.Text());
  if (!links.empty()) {
    // A point in the upper half of the window asks for the balloon above it.
    const bool above = point.y * 2 < model_.Geometry().height;
    links_.Show(Handle(), at, above, std::move(links), dpi_, [&tip](const std::string& message) {
      ChooseBalloonLink(tip, message);
    });
    return;
  }
  if (!balloon_) {
    balloon_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!balloon_) return;
    SendMessageW(balloon_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(420));
    SendMessageW(balloon_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_TRACK;
    info.hwnd = Handle();
    info.uId = 1;
    info.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(balloon_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  std::wstring text = Wide(tip.Text());
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = Handle();
  info.uId = 1;
  info.lpszText = text.data();
  SendMessageW(balloon_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  SendMessageW(balloon_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(balloon_.Get(), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(balloon_.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  SetTimer(Handle(), kBalloonTimerId, kBalloonMs, nullptr);
  // The next click anywhere in the program closes it.
  if (!balloonHook_)
    balloonHook_.Reset(
        SetWindowsHookExW(WH_MOUSE, &ModelWindow::BalloonMouseHook, nullptr, GetCurrentThreadId()));
  tBalloonOwner = this;
  tBalloonWindow = Handle();
}

void ModelWindow::HideBalloon() {
  if (Handle()) KillTimer(Handle(), kBalloonTimerId);
  balloonHook_.Reset();
  if (tBalloonOwner == this) tBalloonOwner = nullptr, tBalloonWindow = nullptr;
  if (!balloon_) return;
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = Handle();
  info.uId = 1;
  SendMessageW(balloon_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

LRESULT CALLBACK ModelWindow::BalloonMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && tBalloonWindow &&
      (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN ||
       wParam == WM_NCLBUTTONDOWN || wParam == WM_NCRBUTTONDOWN))
    PostMessageW(tBalloonWindow, kHideBalloonMessage, 0, 0);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModelWindow::PopUpMenu(std::size_t index) {
  if (index >= slots_.size() || slots_[index].control->Kind() != ControlKind::Menu) return;
  const auto& menu = static_cast<Menu&>(*slots_[index].control);
  ScopedMenu popup(CreatePopupMenu());
  if (!popup) return;
  const std::vector<MenuItem*>& items = menu.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i]->Visible()) continue;
    AppendMenuW(popup.Get(), MF_STRING | (items[i]->Enabled() ? MF_ENABLED : MF_GRAYED), i + 1,
                Wide(items[i]->Text()).c_str());
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(Handle());
  const int chosen =
      static_cast<int>(TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                      cursor.x, cursor.y, 0, Handle(), nullptr));
  PostMessageW(Handle(), WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return;
  MenuItem& item = *items[static_cast<std::size_t>(chosen - 1)];
  Choose(item);
}

void ModelWindow::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  Applying applying(applying_);
  dpi_ = dpi;
  font_ = CreateUiFont(dpi_);
  linkFont_ = CreateUiFont(dpi_, true);
  pictures_.clear();
  const Rect& g = model_.Geometry();
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, Scale(g.width), Scale(g.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (speedBar_) ApplyShape();
  for (ControlSlot& slot : slots_) {
    if (!slot.window) continue;
    const ControlKind kind = slot.control->Kind();
    SendMessageW(
        slot.window, WM_SETFONT,
        reinterpret_cast<WPARAM>(kind == ControlKind::Hyperlink ? linkFont_.Get() : font_.Get()),
        FALSE);
    ApplyGeometry(slot);
    if (kind == ControlKind::ListView) {
      const auto& columns = static_cast<ListView&>(*slot.control).Columns();
      for (std::size_t i = 0; i < columns.size(); ++i)
        SendMessageW(slot.window, LVM_SETCOLUMNWIDTH, i, Scale(columns[i].width));
    }
  }
  for (const HWND tips : {hoverTips_.Get(), balloon_.Get()}) {
    if (!tips) continue;
    SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, Scale(400));
  }
  NoteGeometry();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------------------
// Painting

void ModelWindow::PaintTabs(ControlSlot& slot, HDC dc) {
  const HWND tabs = slot.window;
  RECT client{};
  GetClientRect(tabs, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
  RECT first{};
  if (count > 0) SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF line = GetSysColor(COLOR_BTNSHADOW);
  // Tabs in the back are a little darker than the page.
  const COLORREF back = RGB(GetRValue(face) * 9 / 10 + GetRValue(line) / 10,
                            GetGValue(face) * 9 / 10 + GetGValue(line) / 10,
                            GetBValue(face) * 9 / 10 + GetBValue(line) / 10);
  ScopedBrush lineBrush(CreateSolidBrush(line));
  ScopedBrush backBrush(CreateSolidBrush(back));
  RECT pane{client.left, first.bottom, client.right, client.bottom};
  FrameRect(dc, &pane, lineBrush.Get());
  ScopedSelection font(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(tabs) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  const auto& model = static_cast<TabControl&>(*slot.control);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const bool current = i == selected;
    if (current) {
      // The current tab stands out and runs into the page.
      item.top -= Scale(2);
      item.bottom += 1;
    }
    RECT inside = item;
    InflateRect(&inside, -1, -1);
    if (current) inside.bottom += 1;
    FillRect(dc, &inside, current ? GetSysColorBrush(COLOR_BTNFACE) : backBrush.Get());
    RECT edges[] = {{item.left, item.top, item.right, item.top + 1},
                    {item.left, item.top, item.left + 1, item.bottom},
                    {item.right - 1, item.top, item.right, item.bottom}};
    for (const RECT& edge : edges) FillRect(dc, &edge, lineBrush.Get());
    if (i < static_cast<int>(model.Tabs().size())) {
      const std::wstring title = Wide(model.Tabs()[static_cast<std::size_t>(i)]);
      DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &inside,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (current && GetFocus() == tabs) {
      RECT focus = inside;
      InflateRect(&focus, -Scale(2), -Scale(2));
      DrawFocusRect(dc, &focus);
    }
  }
}

LRESULT ModelWindow::PadEditBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                bool& handled) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
      TEXTMETRICW metrics{};
      {
        ScopedWindowDc dc(window);
        ScopedSelection font(dc.Get(), font_.Get());
        GetTextMetricsW(dc.Get(), &metrics);
      }
      const int spare = (client.bottom - client.top) - (metrics.tmHeight + Scale(2));
      if (spare > 1) {
        client.top += spare / 2;
        client.bottom -= spare - spare / 2;
      }
      handled = true;
      return result;
    }
    case WM_NCPAINT: {
      DefSubclassProc(window, message, wParam, lParam);
      // The bands above and below the text belong to the frame: give them the field's
      // colour.
      RECT outer{}, inner{};
      GetWindowRect(window, &outer);
      GetClientRect(window, &inner);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
      const HDC dc = GetWindowDC(window);
      const int edge = GetSystemMetrics(SM_CXEDGE);
      const HBRUSH field = GetSysColorBrush(IsWindowEnabled(window) ? COLOR_WINDOW : COLOR_BTNFACE);
      const int width = outer.right - outer.left;
      RECT above{edge, edge, width - edge, inner.top - outer.top};
      RECT below{edge, inner.bottom - outer.top, width - edge, outer.bottom - outer.top - edge};
      if (above.bottom > above.top) FillRect(dc, &above, field);
      if (below.bottom > below.top) FillRect(dc, &below, field);
      ReleaseDC(window, dc);
      handled = true;
      return 0;
    }
    case WM_NCHITTEST: {
      // A click on the bands still lands in the field.
      const LRESULT hit = DefSubclassProc(window, message, wParam, lParam);
      handled = true;
      return hit == HTNOWHERE || hit == HTBORDER ? HTCLIENT : hit;
    }
    default:
      return 0;
  }
}

void ModelWindow::PaintGroupBox(ControlSlot& slot, HDC dc) {
  RECT client{};
  GetClientRect(slot.window, &client);
  // The controls that lie over the box paint every pixel of their own; the frame must
  // not run over them. Transparent labels show it.
  const HWND parent = GetParent(slot.window);
  for (const ControlSlot& other : slots_) {
    if (!other.window || &other == &slot || GetParent(other.window) != parent ||
        SeeThrough(other.control->Kind()) || !IsWindowVisible(other.window))
      continue;
    RECT rect{};
    GetWindowRect(other.window, &rect);
    MapWindowPoints(nullptr, slot.window, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
  ScopedSelection font(dc, font_.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring caption = TextOf(slot.window);
  if (caption.empty()) return;
  SIZE size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  const int inset = Scale(8);
  RECT band{inset - Scale(2), 0, std::min<int>(client.right, inset + size.cx + Scale(2)),
            metrics.tmHeight};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  const Colour* colour = slot.control->TextColour();
  SetTextColor(dc, !slot.control->Enabled() ? GetSysColor(COLOR_GRAYTEXT)
                   : colour                 ? RgbOf(*colour)
                                            : GetSysColor(COLOR_WINDOWTEXT));
  RECT text{inset, 0, band.right, metrics.tmHeight};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void ModelWindow::PaintPictureControl(ControlSlot& slot, HDC dc) {
  RECT client{};
  GetClientRect(slot.window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const Picture picture = static_cast<PictureControl&>(*slot.control).Shown();
  if (picture == Picture::None) return;
  const HBITMAP bitmap = PictureBitmap(picture);
  if (!bitmap) return;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  // Centred: a picture box may be a little larger than its picture.
  DrawAlphaBitmap(dc, bitmap, (client.right - info.bmWidth) / 2,
                  (client.bottom - info.bmHeight) / 2, info.bmWidth, info.bmHeight);
}

}  // namespace lumora::ui::win32
