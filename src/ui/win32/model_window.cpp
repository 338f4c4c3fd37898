// Building the window: the top-level window as the model's look says, its resources, and
// one Win32 control per control of the model, filled with the model's data.
#include "ui/win32/model_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/scoped_module.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/system_dlls.h"
#include "ui/layout.h"
#include "ui/win32/artwork_gdi.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/ui_font.h"

namespace lumora::ui::win32 {

using namespace detail;
using platform::win32::Wide;

namespace {

using GetDpiForWindowFunction = UINT WINAPI(HWND);

// GetDpiForWindow, where the system has it (Windows 10 1607 on).
GetDpiForWindowFunction* DpiForWindow() {
  static const platform::win32::ScopedModule user32(L"user32.dll");
  static const auto getDpiForWindow = user32.Find<GetDpiForWindowFunction>("GetDpiForWindow");
  return getDpiForWindow;
}

// The DPI of the monitor at a point: per monitor where Windows tells it, else the
// system's. Where the window can tell its own DPI once it is made, the system's is a
// first guess good enough, and shcore.dll is not loaded only to ask.
int DpiAt(POINT point) {
  if (!DpiForWindow()) {
    using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
    static const platform::win32::ScopedModule shcore(L"shcore.dll");
    static const auto getDpiForMonitor = shcore.Find<GetDpiForMonitorFunction>("GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpiForMonitor &&
        SUCCEEDED(getDpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST),
                                   0 /* effective */, &x, &y)) &&
        y > 0)
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

std::uint32_t OpaqueArgb(const Colour& colour) {
  return 0xFF000000u | (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) |
         colour.blue;
}

}  // namespace

ModelWindow::ModelWindow(WindowModel& model, Skin* skin, HWND owner)
    : model_(model), look_(model.Look()), skin_(skin) {
  UpdateTone();
  const Rect& geometry = model.Geometry();
  context_.dpi = DpiAt({geometry.left, geometry.top});
  const std::wstring className = Wide(model.Id());
  // A window with a backdrop paints all of its background itself.
  RegisterClassOnce(className, CS_DBLCLKS,
                    look_.backdrop == Backdrop::None ? GetSysColorBrush(COLOR_BTNFACE) : nullptr);
  RegisterPlainClass(kPictureClass, nullptr);
  // An owned window goes with its owner: it has a close box and nothing to minimise.
  const DWORD minimiseBox = look_.owner ? 0 : WS_MINIMIZEBOX;
  const DWORD style = look_.captioned
                          ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | minimiseBox | WS_CLIPCHILDREN
                          : WS_POPUP;
  const DWORD exStyle = look_.toolWindow ? WS_EX_TOOLWINDOW : 0;
  {
    Applying applying(context_.applying);
    if (!Create(className, exStyle, style, Wide(model.Title()), OuterRect(), owner)) return;
  }
  // A per-monitor aware program may learn another DPI from its window than from the point.
  if (GetDpiForWindowFunction* getDpiForWindow = DpiForWindow()) {
    const int windowDpi = static_cast<int>(getDpiForWindow(Handle()));
    if (windowDpi > 0 && windowDpi != context_.dpi) {
      context_.dpi = windowDpi;
      Applying applying(context_.applying);
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
    Applying applying(context_.applying);
    CreateControls();
  }
  ApplyInitialState();
  model_.AddObserver(this);
  if (skin_) skin_->AddObserver(this);
  AddKeyboardHandler(*this);
}

ModelWindow::~ModelWindow() {
  RemoveKeyboardHandler(*this);
  if (skin_) skin_->RemoveObserver(this);
  model_.RemoveObserver(this);
  tray_.reset();
  for (const ControlSlot& slot : slots_)
    if (slot.control->Kind() == ControlKind::Timer && Handle())
      KillTimer(Handle(), kFirstControlId + slot.index);
  // The owned popups go first, then the window while this object still handles its
  // last messages; the fonts and pictures it uses are freed after it.
  hoverTips_.Reset();
  balloon_.Destroy();
  Destroy();
}

void ModelWindow::CreateResources() {
  context_.font = CreateUiFont(context_.dpi);
  context_.linkFont = CreateUiFont(context_.dpi, true);
  if (look_.backdrop != Backdrop::None) ApplyShape();
  if (!look_.captioned) return;
  // The program's own icon resource when it has one; painted otherwise.
  const auto icon = [](int size) {
    if (HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size,
                                   size, LR_DEFAULTCOLOR))
      return ScopedIcon(static_cast<HICON>(loaded));
    return IconOf(PaintWindowIcon(size));
  };
  smallIcon_ = icon(GetSystemMetrics(SM_CXSMICON));
  bigIcon_ = icon(GetSystemMetrics(SM_CXICON));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
}

void ModelWindow::ApplyShape() {
  const std::uint32_t outside = OpaqueArgb(look_.shapeTransparent);
  const Image picture = PaintBackdrop(look_.backdrop, context_.dpi, outside);
  backdrop_ = BitmapOf(picture);
  ScopedRegion shape = RegionOf(picture, outside);
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
  // The window comes up with the page it shows; the other pages' controls follow in
  // slices once it has painted, or at once when one of those pages is chosen first.
  const TabControl* tabs = TabControlOf(model_);
  const int shownPage = tabs ? tabs->CurrentTab() : -1;
  for (ControlSlot& slot : slots_) {
    const int page = slot.control->TabPage();
    if (!HasWindow(slot.control->Kind()) || slot.window) continue;
    if (page == -1 || page == shownPage)
      CreateControlWindow(slot);
    else if (std::find(pagesToBuild_.begin(), pagesToBuild_.end(), page) == pagesToBuild_.end())
      pagesToBuild_.push_back(page);
  }
  std::sort(pagesToBuild_.begin(), pagesToBuild_.end());
  PutGroupBoxesUnder();
}

void ModelWindow::BuildPage(int page) {
  const auto waiting = std::find(pagesToBuild_.begin(), pagesToBuild_.end(), page);
  if (waiting == pagesToBuild_.end()) return;
  pagesToBuild_.erase(waiting);
  Applying applying(context_.applying);
  for (ControlSlot& slot : slots_) {
    if (slot.control->TabPage() != page || !HasWindow(slot.control->Kind()) || slot.window)
      continue;
    CreateControlWindow(slot);
    if (!slot.window) continue;
    ApplyVisible(slot);
    if (!slot.control->Tip().empty()) ApplyTip(slot);
  }
  PutGroupBoxesUnder();
}

bool ModelWindow::BuildNextSlice() {
  if (!Handle()) return false;
  if (trayWaiting_) {
    trayWaiting_ = false;
    ApplyTray();
    return true;
  }
  if (tipsWaiting_) {
    tipsWaiting_ = false;
    Applying applying(context_.applying);
    for (ControlSlot& slot : slots_)
      if (slot.window && !slot.control->Tip().empty()) ApplyTip(slot);
    return true;
  }
  if (pagesToBuild_.empty()) return false;
  BuildPage(pagesToBuild_.front());
  return true;
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
  WindowSpec spec{WC_STATICW, WS_CHILD | WS_CLIPSIBLINGS, 0, Wide(control.Text()),
                  &control == look_.dragFace};
  const ControlView* view = ViewOf(kind);
  if (view)
    view->Describe(control, spec);
  else
    switch (kind) {
      case ControlKind::TabControl:
        spec.className = WC_TABCONTROLW;
        spec.style |= WS_TABSTOP | TCS_TABS;
        break;
      case ControlKind::GroupBox:
        // Drawn by the view, under the controls above it, so no sibling clipping.
        spec.className = WC_BUTTONW;
        spec.style = WS_CHILD | BS_GROUPBOX;
        break;
      default:
        return;
    }
  if (!control.Enabled()) spec.style |= WS_DISABLED;
  HWND parent = OnTabPage(control) && tabs_ ? tabs_ : Handle();
  Rect rect = WindowPlace(control);
  if (view) view->Place(rect, context_);
  if (view && view->InPane()) {
    // The pane takes the place and the frame; the link control fills it and scrolls.
    auto pane = std::make_unique<ScrollPane>();
    if (pane->Create(parent, {rect.left, rect.top, rect.left + rect.width, rect.top + rect.height},
                     spec.exStyle)) {
      RECT client{};
      GetClientRect(pane->Handle(), &client);
      rect = {0, 0, client.right, client.bottom};
      parent = pane->Handle();
      spec.style |= WS_VISIBLE;
      spec.exStyle = 0;
      slot.pane = std::move(pane);
    }
  }
  const HWND window =
      CreateWindowExW(spec.exStyle, spec.className, spec.text.c_str(), spec.style, rect.left,
                      rect.top, rect.width, rect.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + slot.index)),
                      GetModuleHandleW(nullptr), nullptr);
  if (!window) return;
  slot.window = window;
  // Later controls lie over earlier ones, as in the design.
  SetWindowPos(slot.Place(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(kind)), FALSE);
  SetWindowSubclass(window, &ModelWindow::ControlProcedure, 1, reinterpret_cast<DWORD_PTR>(&slot));
  FillControlWindow(slot);
  if (slot.pane) {
    slot.pane->Hold(window);
    slot.pane->Fit();
  }
}

void ModelWindow::FillControlWindow(ControlSlot& slot) {
  Control& control = *slot.control;
  const HWND window = slot.window;
  if (const ControlView* view = ViewOf(control.Kind())) return view->Fill(slot, context_);
  switch (control.Kind()) {
    case ControlKind::TabControl: {
      // The classic tab body is the button face, the background every static here uses.
      platform::win32::UxThemeDll().SetWindowTheme(window, L"", L"");
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
    default:
      break;
  }
}

void ModelWindow::ApplyInitialState() {
  Applying applying(context_.applying);
  for (ControlSlot& slot : slots_) {
    if (slot.window) ApplyVisible(slot);
    if (slot.control->Kind() == ControlKind::Timer) ApplyInterval(slot);
  }
  if (model_.Topmost()) ApplyTopmost();
  if (!model_.Bordered()) ApplyBorder();
  ApplyWindowVisible();
}

HFONT ModelWindow::FontOf(ControlKind kind) const {
  const ControlView* view = ViewOf(kind);
  return (view && view->LinkLook() ? context_.linkFont : context_.font).Get();
}

int ModelWindow::Scale(int length) const { return ScaleLength(length, context_.dpi); }
int ModelWindow::Unscale(int pixels) const { return UnscaleLength(pixels, context_.dpi); }

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

}  // namespace lumora::ui::win32
