// The real windows of the two window models: what they are built of, how they follow the
// model, and how the user's actions reach it. The windows are real and on screen (an X
// display under Wine); the user is played by the messages a control sends.
#include "ui/win32/win32_view.h"

#include <windows.h>
// The common controls' header needs the types above.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "ui/join_code.h"
#include "ui/layout.h"
#include "ui/main_window.h"
#include "ui/skin_palette.h"
#include "ui/win32/win32_dispatcher.h"

namespace lumora::ui::win32 {
namespace {

using platform::win32::Wide;

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Pumps until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  while (!condition()) {
    if (GetTickCount64() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  return true;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }

// A rectangle in the client coordinates of the window's parent.
Rect PlaceOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The window of a control: the ID is 1000 + the control's index in the model.
HWND WindowOfControl(const Win32View& view, const Control& control) {
  const WindowModel& model = control.Owner();
  const auto& controls = model.Controls();
  const int id = 1000 + static_cast<int>(std::find(controls.begin(), controls.end(), &control) -
                                         controls.begin());
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      static_cast<HWND>(view.WindowOf(model)),
      [](HWND child, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        if (GetDlgCtrlID(child) != s.id) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Win32ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    w.SetTitle(kMainWindowTitle);
    view.UseSkin(skin);
    view.Attach(w);
    w.SetVisible(true);
    main = static_cast<HWND>(view.WindowOf(w));
    ASSERT_TRUE(main);
    Pump();
    // What the first view does not show, all built, as the message loop builds it.
    while (view.BuildNextSlice()) Pump();
  }

  HWND Of(const Control& control) const { return WindowOfControl(view, control); }
  int Scaled(int length) const { return ScaleLength(length, SystemDpi()); }
  void Choose(int tab) {
    SendMessageW(Of(w.选择夹1), TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
    Pump();
  }
  // A notification as the list view sends it to its parent.
  void NotifyFromList(const ListView& list, UINT code, int item, POINT point) {
    const HWND window = Of(list);
    NMITEMACTIVATE activation{};
    activation.hdr = {window, static_cast<UINT_PTR>(GetDlgCtrlID(window)), code};
    activation.iItem = item;
    activation.ptAction = point;
    SendMessageW(GetParent(window), WM_NOTIFY, activation.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&activation));
  }

  // The models and the skin outlive the view.
  MainWindow w;
  SpeedBarWindow bar;
  JoinCodeWindow code{w};
  Skin skin;
  Win32View view;
  HWND main = nullptr;
};

TEST_F(Win32ViewTest, EveryControlIsAWindowOfItsKindWithTheModelsText) {
  const std::map<ControlKind, std::wstring> classes{
      {ControlKind::TabControl, L"SysTabControl32"},
      {ControlKind::GroupBox, L"Button"},
      {ControlKind::Label, L"Static"},
      {ControlKind::TransparentLabel, L"Static"},
      {ControlKind::EditBox, L"Edit"},
      {ControlKind::Button, L"Button"},
      {ControlKind::CheckBox, L"Button"},
      {ControlKind::RadioButton, L"Button"},
      {ControlKind::ComboBox, L"ComboBox"},
      {ControlKind::ListView, L"SysListView32"},
      {ControlKind::Slider, L"msctls_trackbar32"},
      {ControlKind::PictureBox, L"LumoraPicture"},
      {ControlKind::DrawPanel, L"LumoraPicture"},
      {ControlKind::QrCode, L"LumoraPicture"},
      {ControlKind::Hyperlink, L"Static"},
      {ControlKind::HtmlBrowser, L"SysLink"},
      {ControlKind::SimpleHtmlBox, L"SysLink"},
  };
  int windows = 0;
  for (const Control* control : w.Controls()) {
    const ControlKind kind = control->Kind();
    const HWND window = Of(*control);
    if (!HasWindow(kind)) {
      EXPECT_FALSE(window) << control->Name();
      continue;
    }
    ASSERT_TRUE(window) << control->Name();
    ++windows;
    EXPECT_EQ(_wcsicmp(ClassOf(window).c_str(), classes.at(kind).c_str()), 0) << control->Name();
    EXPECT_EQ(IsWindowEnabled(window) != FALSE, control->Enabled()) << control->Name();
    if (kind != ControlKind::ComboBox && kind != ControlKind::SimpleHtmlBox) {
      EXPECT_EQ(TextOf(window), Wide(control->Text())) << control->Name();
    }
  }
  EXPECT_EQ(windows, 58);
  EXPECT_EQ(TextOf(main), L"LumoraWiFi5.0");
  // The two lines of the start button's caption need a multi-line button.
  EXPECT_NE(StyleOf(Of(w.按钮开始)) & BS_MULTILINE, 0);
  // The model decides the ticks: no automatic check boxes or radio buttons.
  EXPECT_EQ(StyleOf(Of(w.选择框_显示密码)) & BS_TYPEMASK, BS_CHECKBOX);
  EXPECT_EQ(StyleOf(Of(w.单选框黑)) & BS_TYPEMASK, BS_RADIOBUTTON);
  EXPECT_EQ(SendMessageW(Of(w.选择框_显示密码), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(StyleOf(Of(w.组合框1)) & 3, CBS_DROPDOWN);
  // The hours of the timed shutdown may be typed as well as chosen.
  EXPECT_EQ(StyleOf(Of(w.组合框_关机)) & 3, CBS_DROPDOWN);
  EXPECT_EQ(SendMessageW(Of(w.组合框_关机), CB_GETCOUNT, 0, 0), 13);
  EXPECT_EQ(StyleOf(Of(w.超级列表框1)) & LVS_TYPEMASK, LVS_REPORT);
  const HWND header = reinterpret_cast<HWND>(SendMessageW(Of(w.超级列表框1), LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(Of(w.超级列表框1), LVM_GETCOLUMNWIDTH, 2, 0), Scaled(120));
  EXPECT_EQ(SendMessageW(Of(w.滑块条色调), TBM_GETRANGEMAX, 0, 0), 340);
  EXPECT_EQ(SendMessageW(Of(w.选择夹1), TCM_GETITEMCOUNT, 0, 0), 5);
  // No other window takes an ID of the range: not even the field inside a combo box.
  EXPECT_EQ(GetDlgCtrlID(GetWindow(Of(w.组合框1), GW_CHILD)), 999);
}

TEST_F(Win32ViewTest, ControlsStandWhereTheLayoutPutsThemScaledByTheDpi) {
  RECT outer{};
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, Scaled(430));
  EXPECT_EQ(outer.bottom - outer.top, Scaled(316));
  const auto scaled = [this](Rect r) { return ScaleRect(r, SystemDpi()); };
  EXPECT_EQ(PlaceOf(Of(w.选择夹1)), scaled({-1, -2, 455, 330}));
  // A page's controls are placed from the tab control's corner, headers included.
  EXPECT_EQ(GetParent(Of(w.编辑框名称)), Of(w.选择夹1));
  EXPECT_EQ(PlaceOf(Of(w.编辑框名称)), scaled({110, 91, 210, 32}));
  EXPECT_EQ(PlaceOf(Of(w.超级列表框1)), scaled({14, 66, 400, 107}));
  EXPECT_EQ(PlaceOf(Of(w.按钮查看连接)), scaled({320, 51, 61, 24}));

  w.透明标签3.SetLeft(90);
  EXPECT_EQ(PlaceOf(Of(w.透明标签3)), scaled({104, 50, 310, 18}));
  w.分组框4.SetGeometry({20, 40, 400, 133});
  EXPECT_EQ(PlaceOf(Of(w.超级列表框1)), scaled({20, 66, 400, 107}));
}

TEST_F(Win32ViewTest, AControlReachingBeyondItsGroupBoxShowsOnlyWhatLiesInside) {
  const auto scaled = [this](Rect r) { return ScaleRect(r, SystemDpi()); };
  w.分组框7.SetVisible(true);
  w.超文本浏览框1.SetVisible(true);
  Pump();
  // The banner stands 5 units up and left of its box and is larger than it: the row of
  // the name below the box stays the name's.
  EXPECT_EQ(PlaceOf(Of(w.超文本浏览框1)), scaled({12, 24, 402, 62}));
  const HWND under = ChildWindowFromPointEx(Of(w.选择夹1), {Scaled(30), Scaled(100)},
                                            CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  EXPECT_NE(under, Of(w.超文本浏览框1));
  // A control wholly inside its box stands where the layout puts it.
  EXPECT_EQ(PlaceOf(Of(w.超级列表框1)), scaled({14, 66, 400, 107}));
  // A box made smaller cuts the more; one that grows cuts only where the banner reaches
  // out of it, above and to the left.
  w.分组框7.SetGeometry({12, 24, 300, 40});
  EXPECT_EQ(PlaceOf(Of(w.超文本浏览框1)), scaled({12, 24, 300, 40}));
  w.分组框7.SetGeometry({5, 10, 460, 120});
  EXPECT_EQ(PlaceOf(Of(w.超文本浏览框1)), scaled({5, 10, 445, 85}));
}

TEST_F(Win32ViewTest, OnlyTheCurrentPageIsOnScreen) {
  int changes = 0;
  w.选择夹1.onTabChanged = [&] { ++changes; };
  EXPECT_TRUE(IsWindowVisible(Of(w.选择夹1)));
  EXPECT_TRUE(IsWindowVisible(Of(w.编辑框名称)));
  EXPECT_FALSE(IsWindowVisible(Of(w.标签9)));  // hidden by design
  EXPECT_FALSE(IsWindowVisible(Of(w.超级列表框1)));

  Choose(kTabSettings);
  EXPECT_EQ(w.选择夹1.CurrentTab(), kTabSettings);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(IsWindowVisible(Of(w.分组框2)));
  EXPECT_TRUE(IsWindowVisible(Of(w.标签5)));
  EXPECT_FALSE(IsWindowVisible(Of(w.编辑框名称)));
  Choose(kTabSettings);  // the same tab again is no change
  EXPECT_EQ(changes, 1);

  // The program's own switch shows the page and is not reported back as the user's.
  w.选择夹1.SetCurrentTab(kTabUsers);
  Pump();
  EXPECT_EQ(SendMessageW(Of(w.选择夹1), TCM_GETCURSEL, 0, 0), kTabUsers);
  EXPECT_TRUE(IsWindowVisible(Of(w.超级列表框1)));
  EXPECT_FALSE(IsWindowVisible(Of(w.分组框2)));
  EXPECT_EQ(changes, 1);
  w.超级列表框1.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Of(w.超级列表框1)));
  w.超级列表框3.SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(Of(w.超级列表框3)));
}

TEST_F(Win32ViewTest, ModelChangesReachTheWindows) {
  w.标签关机.SetText("01时02分03秒后关机");
  EXPECT_EQ(TextOf(Of(w.标签关机)), L"01时02分03秒后关机");
  w.按钮开始.SetText("开启WiFi");
  w.按钮开始.SetEnabled(true);
  EXPECT_EQ(TextOf(Of(w.按钮开始)), L"开启WiFi");
  EXPECT_TRUE(IsWindowEnabled(Of(w.按钮开始)));
  w.选择框关机.SetChecked(true);
  EXPECT_EQ(SendMessageW(Of(w.选择框关机), BM_GETCHECK, 0, 0), BST_CHECKED);
  w.单选框白.SetChecked(true);
  EXPECT_EQ(SendMessageW(Of(w.单选框白), BM_GETCHECK, 0, 0), BST_CHECKED);

  // Masking goes on and off in place.
  const HWND pass = Of(w.编辑框密码);
  w.编辑框密码.SetMasked(true);
  EXPECT_NE(SendMessageW(pass, EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_EQ(TextOf(pass), L"2468013579");
  w.编辑框密码.SetMasked(false);
  EXPECT_EQ(SendMessageW(pass, EM_GETPASSWORDCHAR, 0, 0), 0);
  w.编辑框名称.SetText("我的热点");
  EXPECT_EQ(TextOf(Of(w.编辑框名称)), L"我的热点");

  const HWND connection = Of(w.组合框1);
  w.组合框1.SetItems({"以太网", "WLAN"});
  w.组合框1.Select(1);
  EXPECT_EQ(SendMessageW(connection, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(connection, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(TextOf(connection), L"WLAN");
  w.组合框1.SetText("宽带连接");  // typed by the program, in no list
  EXPECT_EQ(TextOf(connection), L"宽带连接");
  w.组合框_关机.Select(2);
  EXPECT_EQ(SendMessageW(Of(w.组合框_关机), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(TextOf(Of(w.组合框_关机)), L"2");

  const HWND list = Of(w.超级列表框1);
  const auto cell = [list](int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::wstring(text);
  };
  for (int i = 0; i < 3; ++i) {
    const std::size_t row = w.超级列表框1.AppendRow();
    w.超级列表框1.SetCell(row, 0, std::to_string(i + 1));
    w.超级列表框1.SetCell(row, 1, "192.168.137." + std::to_string(10 + i));
    w.超级列表框1.SetCell(row, 3, i == 0 ? "小米手机" : "");
  }
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(cell(0, 3), L"小米手机");
  EXPECT_EQ(cell(2, 1), L"192.168.137.12");
  w.超级列表框1.DeleteRow(0);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(cell(0, 1), L"192.168.137.11");
  EXPECT_EQ(cell(0, 3), L"");
  w.超级列表框1.SetCell(1, 2, "AA-BB-CC-DD-EE-FF");
  EXPECT_EQ(cell(1, 2), L"AA-BB-CC-DD-EE-FF");
  w.超级列表框1.DeleteAllRows();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);

  w.滑块条色调.SetPosition(200);
  EXPECT_EQ(SendMessageW(Of(w.滑块条色调), TBM_GETPOS, 0, 0), 200);
  w.简单超文本框1.SetText("<b>帮助</b><br>第二行");
  EXPECT_EQ(TextOf(Of(w.简单超文本框1)), L"帮助\r\n第二行");

  // The banner and the help show their pages with links; a link the user follows goes
  // to the model with its address.
  w.超文本浏览框1.LoadPage("公告<a href='http://site.invalid/news'>详情</a>");
  EXPECT_EQ(TextOf(Of(w.超文本浏览框1)), L"公告<a href=\"http://site.invalid/news\">详情</a>");
  std::vector<std::string> followed;
  w.简单超文本框1.onLinkChosen = [&](std::string_view address) {
    followed.push_back(std::string(address));
  };
  w.简单超文本框1.SetText("看<a href=http://site.invalid/help>帮助</a>");
  const HWND help = Of(w.简单超文本框1);
  NMLINK click{};
  click.hdr.hwndFrom = help;
  click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(help));
  click.hdr.code = NM_CLICK;
  wcscpy(click.item.szUrl, L"http://site.invalid/help");
  SendMessageW(GetParent(help), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(followed, std::vector<std::string>{"http://site.invalid/help"});
}

TEST_F(Win32ViewTest, PicturesAndGroupCaptionsAreDrawnAsTheModelSays) {
  const auto pixelIn = [](HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
  };
  // The middle of the fan's dot: grey when stopped, green when done.
  const HWND status = Of(w.图片框状态);
  const int x = Scaled(20), y = Scaled(26);
  COLORREF c = pixelIn(status, x, y);
  EXPECT_LT(std::abs(GetRValue(c) - GetGValue(c)), 20) << std::hex << c;
  w.图片框状态.Show(Picture::StatusDone);
  c = pixelIn(status, x, y);
  EXPECT_GT(GetGValue(c), GetRValue(c) + 60) << std::hex << c;

  w.分组框2.SetTextColour({255, 0, 0});
  w.选择夹1.SetCurrentTab(kTabSettings);
  Pump();
  const HWND box = Of(w.分组框2);
  RECT band{};
  GetClientRect(box, &band);
  bool red = false;
  RedrawWindow(Of(w.选择夹1), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const HDC dc = GetDC(box);
  for (int px = 0; px < band.right && !red; ++px)
    for (int py = 0; py < Scaled(14) && !red; ++py) {
      const COLORREF p = GetPixel(dc, px, py);
      red = GetRValue(p) > 180 && GetGValue(p) < 90 && GetBValue(p) < 90;
    }
  ReleaseDC(box, dc);
  EXPECT_TRUE(red);
}

TEST_F(Win32ViewTest, UserActionsReachTheModelAndItsHandlers) {
  std::vector<std::string> seen;
  w.按钮右下角.onClick = [&] { seen.push_back("shrink"); };
  w.选择框_显示密码.onClick = [&] {
    seen.push_back(w.选择框_显示密码.Checked() ? "show ticked" : "show clear");
  };
  w.单选框白.onClick = [&] {
    seen.push_back(w.单选框黑.Checked() ? "white, black still on" : "white");
  };
  w.编辑框名称.onKeyReleased = [&](int key) { seen.push_back("key " + std::to_string(key)); };
  w.编辑框名称.onFocusLost = [&] { seen.push_back("name left"); };
  w.组合框_关机.onKeyPressed = [&](int key) { seen.push_back("combo key " + std::to_string(key)); };
  w.组合框_关机.onSelectionChanged = [&] { seen.push_back("hours " + w.组合框_关机.Text()); };
  w.滑块条色调.onPositionChanged = [&] {
    seen.push_back("hue " + std::to_string(w.滑块条色调.Position()));
  };
  w.超级列表框1.onRightClickItem = [&](int row) { seen.push_back("row " + std::to_string(row)); };
  w.超级列表框1.onDoubleClickCell = [&](const ListHit& hit) {
    seen.push_back("double " + std::to_string(hit.row) + "," + std::to_string(hit.column) +
                   (hit.rowPosition.y > 0 ? " below the header" : " at the top"));
  };
  w.超级链接框_重启.onReleased = [&] { seen.push_back("restart"); };
  w.画板_问号.onReleased = [&] { seen.push_back("help"); };

  SendMessageW(Of(w.按钮右下角), BM_CLICK, 0, 0);
  SendMessageW(Of(w.选择框_显示密码), BM_CLICK, 0, 0);
  EXPECT_FALSE(w.选择框_显示密码.Checked());
  EXPECT_EQ(SendMessageW(Of(w.选择框_显示密码), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // Typing: the model takes the text, the field keeps its caret where the user left it.
  const HWND name = Of(w.编辑框名称);
  SetFocus(name);
  SendMessageW(name, EM_SETSEL, 0, -1);
  SendMessageW(name, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"我的热点"));
  EXPECT_EQ(w.编辑框名称.Text(), "我的热点");
  DWORD end = 0;
  SendMessageW(name, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 4u);
  SendMessageW(name, WM_KEYUP, VK_RETURN, 0);
  SetFocus(Of(w.编辑框密码));

  // A list to pick from with the keyboard: the arrow key is reported, then the choice.
  SendMessageW(Of(w.组合框_关机), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(w.组合框_关机.SelectedIndex(), 0);
  // The connection is typed into the field of the editable combo box.
  COMBOBOXINFO info{sizeof info};
  ASSERT_TRUE(GetComboBoxInfo(Of(w.组合框1), &info));
  SendMessageW(info.hwndItem, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"以太网"));
  EXPECT_EQ(w.组合框1.Text(), "以太网");

  w.超级链接框_重启.SetVisible(true);  // shown while the hotspot runs
  SendMessageW(Of(w.超级链接框_重启), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  SendMessageW(Of(w.画板_问号), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

  w.选择夹1.SetCurrentTab(kTabUsers);
  w.单选框黑.SetChecked(true);
  SendMessageW(Of(w.单选框白), BM_CLICK, 0, 0);
  EXPECT_TRUE(w.单选框白.Checked());
  EXPECT_EQ(SendMessageW(Of(w.单选框黑), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  w.超级列表框1.AppendRow();
  w.超级列表框1.AppendRow();
  NotifyFromList(w.超级列表框1, NM_RCLICK, 1, {5, 5});
  NotifyFromList(w.超级列表框1, NM_RCLICK, -1, {5, 300});  // below the rows: no row
  // A double click is hit-tested to its cell: here the name cell of the second row.
  RECT cell{};
  cell.top = 3;
  cell.left = LVIR_BOUNDS;
  SendMessageW(Of(w.超级列表框1), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  NotifyFromList(w.超级列表框1, NM_DBLCLK, 1,
                 {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});

  w.选择夹1.SetCurrentTab(kTabSettings);
  SetFocus(Of(w.滑块条色调));
  SendMessageW(Of(w.滑块条色调), WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageW(Of(w.滑块条色调), WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(w.滑块条色调.Position(), 1);

  EXPECT_EQ(seen, (std::vector<std::string>{"shrink", "show clear", "key 13", "name left",
                                            "combo key 40", "hours 0.5", "restart", "help", "white",
                                            "row 1", "double 1,3 below the header", "hue 1"}));

  // What the program changes itself comes back as no user action.
  seen.clear();
  w.选择框_显示密码.SetChecked(true);
  w.编辑框名称.SetText("mylove");
  w.组合框_关机.Select(5);
  w.组合框1.SetText("WLAN");
  w.滑块条色调.SetPosition(100);
  w.单选框黑.SetChecked(true);
  w.选择夹1.SetCurrentTab(kTabMain);
  Pump();
  EXPECT_TRUE(seen.empty()) << seen.front();
  EXPECT_EQ(w.编辑框名称.Text(), "mylove");
  EXPECT_EQ(TextOf(name), L"mylove");
}

TEST_F(Win32ViewTest, TheEndOfTheSessionReturnsOnlyOnceTheProgramsHandlerHasRun) {
  int ends = 0;
  bool handlerDone = false;
  w.onSessionEnded = [&] {
    ++ends;
    // The handler may wait, pumping, for a reset under way.
    Pump();
    handlerDone = true;
  };
  SendMessageW(main, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(handlerDone);
  // The session goes on after all: nothing ends.
  SendMessageW(main, WM_ENDSESSION, FALSE, 0);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(IsWindow(main));
}

TEST_F(Win32ViewTest, TheWindowFollowsTheModelAndReportsWhatHappensToIt) {
  int closes = 0, moves = 0;
  w.onCloseRequested = [&] { ++closes; };
  w.onMoved = [&] { ++moves; };
  PostMessageW(main, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindow(main));  // the program decides when it ends
  EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, 0));
  EXPECT_EQ(closes, 2);

  SetWindowPos(main, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(w.Geometry(), (Rect{200, 150, 430, 316}));
  EXPECT_EQ(moves, 1);
  w.SetGeometry({60, 70, 430, 316});
  EXPECT_EQ(moves, 2);  // the model's own report; the window's move is not reported again
  RECT outer{};
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.left, 60);
  EXPECT_EQ(outer.top, 70);

  w.SetTopmost(true);
  EXPECT_NE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  w.SetTopmost(false);
  EXPECT_EQ(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  w.RemoveBorder();
  EXPECT_EQ(StyleOf(main) & WS_CAPTION, 0);
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, Scaled(430));
  // The closing animation shrinks the window to almost nothing.
  w.SetGeometry({60, 70, 10, 2});
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.bottom - outer.top, Scaled(2));
  w.SetTitle("LumoraWiFi5.0 ");
  EXPECT_EQ(TextOf(main), L"LumoraWiFi5.0 ");
  w.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(main));
  w.SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(Win32ViewTest, TimersTickWhileTheirIntervalIsSet) {
  int ticks = 0;
  w.时钟状态.onTick = [&] { ++ticks; };
  w.时钟状态.SetInterval(20);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 3000));
  w.时钟状态.SetInterval(0);
  const int stopped = ticks;
  PumpUntil([] { return false; }, 150);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(Win32ViewTest, TabWalksTheControlsInDesignOrderInEveryMessageLoop) {
  SetFocus(Of(w.编辑框名称));
  // 画板_问号 and 标签2 come between the two fields and take no focus.
  PostMessageW(Of(w.编辑框名称), WM_KEYDOWN, VK_TAB, 0);
  view.Quit(0);
  EXPECT_EQ(view.RunMessageLoop(), 0);
  EXPECT_EQ(GetFocus(), Of(w.编辑框密码));

  // While a handler waits, or runs the events due, the keys go the same way.
  Win32Dispatcher dispatcher;
  PostMessageW(Of(w.编辑框密码), WM_KEYDOWN, VK_TAB, 0);
  dispatcher.WaitPumping(50);
  EXPECT_EQ(GetFocus(), Of(w.选择框_显示密码));
  PostMessageW(Of(w.选择框_显示密码), WM_KEYDOWN, VK_TAB, 0);
  dispatcher.ProcessPendingEvents();
  EXPECT_EQ(GetFocus(), Of(w.选择框关机));  // the start button is disabled until start-up
}

TEST_F(Win32ViewTest, WhatWindowsDoesToTheWindowOnItsOwnIsWrittenBack) {
  // As another program does it: the second copy of the program brings the window up.
  ShowWindow(main, SW_HIDE);
  EXPECT_FALSE(w.Visible());
  ShowWindowAsync(main, SW_SHOWNORMAL);
  Pump();
  EXPECT_TRUE(w.Visible());
  EXPECT_TRUE(IsWindowVisible(main));
  ShowWindow(main, SW_MINIMIZE);
  EXPECT_TRUE(w.Minimised());
  ShowWindow(main, SW_RESTORE);
  EXPECT_FALSE(w.Minimised());

  // Moving a minimised window restores it first, and the model learns that too.
  ShowWindow(main, SW_MINIMIZE);
  w.SetGeometry({120, 90, 430, 316});
  EXPECT_FALSE(IsIconic(main));
  EXPECT_FALSE(w.Minimised());
  RECT outer{};
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.left, 120);
  EXPECT_EQ(w.Geometry(), (Rect{120, 90, 430, 316}));
  // The model that shows the window again after all this still hides it to the tray.
  w.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(main));
}

TEST_F(Win32ViewTest, SpeedBarIsShapedAndItsCoverTakesTheMouse) {
  bar.SetGeometry({600, 400, 155, 23});
  view.Attach(bar);
  bar.SetVisible(true);
  const HWND window = static_cast<HWND>(view.WindowOf(bar));
  ASSERT_TRUE(window);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(StyleOf(window) & WS_CAPTION, 0);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window, shape), ERROR);
  EXPECT_FALSE(PtInRegion(shape, 0, 0));  // a rounded end
  EXPECT_TRUE(PtInRegion(shape, Scaled(77), Scaled(11)));
  EXPECT_FALSE(PtInRegion(shape, Scaled(77), Scaled(22)));  // the picture has 22 rows
  DeleteObject(shape);

  // The speed figures let the mouse through to the cover beneath them.
  RECT label{};
  GetWindowRect(Of(bar.下载透明标签), &label);
  const LPARAM point = MAKELPARAM(label.left + 2, label.top + 2);
  EXPECT_EQ(SendMessageW(Of(bar.下载透明标签), WM_NCHITTEST, 0, point), HTTRANSPARENT);
  EXPECT_EQ(SendMessageW(Of(bar.透明标签1), WM_NCHITTEST, 0, point), HTCLIENT);
  int right = 0, doubles = 0;
  bar.透明标签1.onRightButtonPressed = [&] { ++right; };
  bar.透明标签1.onDoubleClick = [&] { ++doubles; };
  SendMessageW(Of(bar.透明标签1), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10));
  SendMessageW(Of(bar.透明标签1), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 10));
  EXPECT_EQ(right, 1);
  EXPECT_EQ(doubles, 1);
}

TEST_F(Win32ViewTest, BalloonsShowTheirTextAndTheSpeedBarsLinksReportTheirMessage) {
  const auto ownedVisible = [](HWND owner, const wchar_t* className) {
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, className, nullptr); h && !found;
         h = FindWindowExW(nullptr, h, className, nullptr))
      if (GetWindow(h, GW_OWNER) == owner && IsWindowVisible(h)) found = h;
    return found;
  };
  w.气球提示框1.ShowAt({200, 90}, "您还没有输入WiFi名称哦！");
  Pump();
  EXPECT_TRUE(ownedVisible(main, TOOLTIPS_CLASSW));

  bar.SetGeometry({600, 400, 155, 23});
  view.Attach(bar);
  bar.SetVisible(true);
  const HWND barWindow = static_cast<HWND>(view.WindowOf(bar));
  std::vector<std::string> chosen;
  bar.气球提示框1.onLinkChosen = [&](std::string_view message) { chosen.emplace_back(message); };
  const char* menu =
      "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
      "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
      "<a msg=m9><font size=10pt>   退出WiFi   </font></a>";
  // Below the bar from a point on its lower edge, above it from one on its upper edge.
  bar.气球提示框1.ShowAt({77, 22}, menu);
  HWND links = ownedVisible(barWindow, L"LumoraLinkBalloon");
  ASSERT_TRUE(links);
  RECT rect{};
  GetWindowRect(links, &rect);
  EXPECT_EQ(rect.top, 400 + Scaled(22));
  bar.气球提示框1.ShowAt({77, 0}, menu);
  GetWindowRect(links, &rect);
  EXPECT_EQ(rect.bottom, 400);
  // The middle of the three links.
  GetClientRect(links, &rect);
  SendMessageW(links, WM_LBUTTONUP, 0, MAKELPARAM(rect.right / 2, rect.bottom / 2));
  EXPECT_EQ(chosen, (std::vector<std::string>{"m8"}));
  EXPECT_FALSE(IsWindowVisible(links));
}

// The window of that class this thread has, or nullptr.
HWND ThreadWindowOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* name;
    HWND found;
  } search{className, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        if (ClassOf(window) != s.name) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A pixel of what the control draws when asked to print its client area.
COLORREF PrintedPixelOf(HWND window, int x, int y) {
  RECT client{};
  GetClientRect(window, &client);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colour;
}

COLORREF RgbOf(Colour c) { return RGB(c.red, c.green, c.blue); }

TEST_F(Win32ViewTest, TheSkinDrawsThePagesAndButtonsInTheToneOfEachHue) {
  const HWND tabs = Of(w.选择夹1);
  const HWND start = Of(w.按钮开始);
  RECT page{}, button{};
  GetClientRect(tabs, &page);
  GetClientRect(start, &button);
  // An empty spot of the page near its right edge, and the button's face beside its text.
  const POINT onPage{page.right - Scaled(6), page.bottom / 2};
  const POINT onButton{Scaled(5), button.bottom / 2};
  EXPECT_EQ(PrintedPixelOf(tabs, onPage.x, onPage.y), GetSysColor(COLOR_BTNFACE));

  // Each change of hue is drawn in the new tone.
  for (const int hue : {150, -160, 180}) {
    SCOPED_TRACE("hue " + std::to_string(hue));
    skin.ApplySkin(hue);
    const SkinPalette tone = PaletteForHue(hue);
    EXPECT_EQ(PrintedPixelOf(tabs, onPage.x, onPage.y), RgbOf(tone.face));
    EXPECT_EQ(PrintedPixelOf(start, onButton.x, onButton.y), RgbOf(tone.button));
  }
}

TEST_F(Win32ViewTest, AHiddenSecondWindowIsBuiltInALaterSliceAndShowsAsItsModelSays) {
  view.Attach(bar);
  EXPECT_FALSE(ThreadWindowOfClass(L"LumoraSpeedBar"));
  bar.SetVisible(true);
  EXPECT_TRUE(view.BuildNextSlice());
  const HWND built = ThreadWindowOfClass(L"LumoraSpeedBar");
  ASSERT_TRUE(built);
  EXPECT_TRUE(IsWindowVisible(built));
}

// The window as the program brings it up: at first only the page it shows is built.
class Win32ViewStartTest : public ::testing::Test {
 public:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    w.SetTitle(kMainWindowTitle);
    w.编辑框名称.SetTip("请输入英文或数字");
    w.单选框黑.SetTip("显示上网用户");
    view.UseSkin(skin);
    view.Attach(w);
    view.Attach(bar);
    bar.SetVisible(true);
    w.SetVisible(true);
    main = static_cast<HWND>(view.WindowOf(w));
    ASSERT_TRUE(main);
    Pump();  // the first paint: no slice is built by a loop of the test's own
  }
  std::vector<const Control*> WithoutWindow() const {
    std::vector<const Control*> missing;
    for (const Control* control : w.Controls())
      if (HasWindow(control->Kind()) && !WindowOfControl(view, *control))
        missing.push_back(control);
    return missing;
  }
  bool HasTip(HWND tool) const {
    const HWND tips = ThreadWindowOfClass(TOOLTIPS_CLASSW);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return tips && SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
  }

  MainWindow w;
  SpeedBarWindow bar;
  Skin skin;
  Win32View view;
  HWND main = nullptr;
};

TEST_F(Win32ViewStartTest, APageChosenBeforeItsSliceHasAllItsControlsAtOnce) {
  ASSERT_TRUE(IsWindowVisible(main));
  for (const Control* control : w.Controls()) {
    if (!HasWindow(control->Kind()) || control->TabPage() != kTabMain) continue;
    EXPECT_TRUE(WindowOfControl(view, *control)) << control->Name();
  }
  EXPECT_FALSE(WindowOfControl(view, w.超级列表框1));
  EXPECT_FALSE(ThreadWindowOfClass(L"LumoraSpeedBar"));
  EXPECT_FALSE(ThreadWindowOfClass(TOOLTIPS_CLASSW));

  SendMessageW(WindowOfControl(view, w.选择夹1), TCM_SETCURFOCUS, kTabUsers, 0);
  Pump();
  ASSERT_EQ(w.选择夹1.CurrentTab(), kTabUsers);
  for (const Control* control : w.Controls()) {
    if (!HasWindow(control->Kind()) || control->TabPage() != kTabUsers) continue;
    const HWND window = WindowOfControl(view, *control);
    ASSERT_TRUE(window) << control->Name();
    EXPECT_EQ(IsWindowVisible(window) != FALSE, ShownOnScreen(*control)) << control->Name();
    EXPECT_EQ(TextOf(window), Wide(control->Text())) << control->Name();
  }
  EXPECT_TRUE(IsWindowVisible(WindowOfControl(view, w.超级列表框1)));
  EXPECT_FALSE(IsWindowVisible(WindowOfControl(view, w.编辑框名称)));
  // Only that page: the settings page still waits for its slice.
  EXPECT_FALSE(WindowOfControl(view, w.分组框2));
}

TEST_F(Win32ViewStartTest, TheMessageLoopBuildsTheRestWhileIdleAndThenQuitsAsAsked) {
  // The loop is left at a timer's tick once everything is built, or after 20 s. The
  // ticks are far apart: the loop builds only while no message, timer included, waits.
  static Win32ViewStartTest* test = nullptr;
  static ULONGLONG deadline = 0;
  test = this;
  deadline = GetTickCount64() + 20000;
  const UINT_PTR timer = SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR, DWORD) {
    const HWND speedBar = ThreadWindowOfClass(L"LumoraSpeedBar");
    if ((test->WithoutWindow().empty() && speedBar && IsWindowVisible(speedBar)) ||
        GetTickCount64() > deadline)
      test->view.Quit(7);
  });
  EXPECT_EQ(view.RunMessageLoop(), 7);
  KillTimer(nullptr, timer);
  for (const Control* control : WithoutWindow()) ADD_FAILURE() << control->Name();
  const HWND speedBar = ThreadWindowOfClass(L"LumoraSpeedBar");
  ASSERT_TRUE(speedBar);
  EXPECT_TRUE(IsWindowVisible(speedBar));
  // The tips come with their slice, on the page shown first and on the pages built later.
  EXPECT_TRUE(HasTip(WindowOfControl(view, w.编辑框名称)));
  EXPECT_TRUE(HasTip(WindowOfControl(view, w.单选框黑)));
  // Each page's controls stand as the model says.
  EXPECT_FALSE(IsWindowVisible(WindowOfControl(view, w.分组框2)));
  EXPECT_FALSE(view.BuildNextSlice());
}

TEST_F(Win32ViewTest, TheJoinCodeIsOwnedByTheMainWindowDrawnBlackOnWhiteAndClosedByEsc) {
  // A dark skin: the code keeps its own white.
  skin.ApplySkin(-160);
  view.Attach(code);
  code.ShowNetwork("家里的WiFi", "2468013579");
  code.SetVisible(true);
  const HWND window = static_cast<HWND>(view.WindowOf(code));
  ASSERT_TRUE(window);
  Pump();
  EXPECT_EQ(GetWindow(window, GW_OWNER), main);
  EXPECT_EQ(TextOf(window), L"扫码连接WiFi");
  // It goes with its owner: a close box, and nothing to minimise or maximise.
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  const HWND square = Of(code.画板_二维码);
  RECT client{};
  GetClientRect(square, &client);
  const QrModules& modules = code.画板_二维码.Modules();
  const QrPlacement place = PlaceQrCode(client.right, modules.size);
  EXPECT_GE(place.modulePixels, 4 * SystemDpi() / 96);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(square, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  int wrong = 0;
  // Every module, at its middle, and the quiet zone four modules wide all round.
  for (int y = 0; y < modules.size; ++y)
    for (int x = 0; x < modules.size; ++x) {
      const int px = place.origin + x * place.modulePixels + place.modulePixels / 2;
      const int py = place.origin + y * place.modulePixels + place.modulePixels / 2;
      if (GetPixel(memory, px, py) != (modules.Dark(x, y) ? black : white)) ++wrong;
    }
  const int quiet = kQrQuietModules * place.modulePixels;
  for (int i = 0; i < client.right; ++i)
    for (const int edge :
         {place.origin - quiet, place.origin - 1, place.origin + modules.size * place.modulePixels,
          place.origin + modules.size * place.modulePixels + quiet - 1}) {
      if (GetPixel(memory, i, edge) != white) ++wrong;
      if (GetPixel(memory, edge, i) != white) ++wrong;
    }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(wrong, 0);

  int closes = 0;
  code.onCloseRequested = [&closes] { ++closes; };
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  view.Quit(0);
  EXPECT_EQ(view.RunMessageLoop(), 0);
  EXPECT_EQ(closes, 1);
  // The main window does not close on Esc.
  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
  view.Quit(0);
  EXPECT_EQ(view.RunMessageLoop(), 0);
  EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace lumora::ui::win32
