// A second process that looks at the running program as an outside tool would: it
// finds the main window by its title and reads the real controls with Win32 calls.
// It runs in the program's Wine desktop, where its exit code is not seen, so it
// writes its result to a file:
//   lumora_probe RESULT wait TITLE MS     the window exists within MS milliseconds
//   lumora_probe RESULT gone TITLE MS     the window is gone within MS milliseconds
//   lumora_probe RESULT shown TITLE MS    the window is on screen within MS milliseconds
//   lumora_probe RESULT hidden TITLE MS   the window is gone or hidden within MS
//   lumora_probe RESULT escape TITLE      press Esc in the window
//   lumora_probe RESULT check TITLE       every tab: real controls agree with the model
//   lumora_probe RESULT tab TITLE INDEX   choose a tab
//   lumora_probe RESULT close TITLE       ask the window to close
//   lumora_probe RESULT click TITLE NAME  click the control of that name
//   lumora_probe RESULT clicktext TITLE TEXT  click the control that shows TEXT (for
//                                        LumoraWiFi.exe, which has no model report)
//   lumora_probe RESULT waittext TITLE NAME TEXT MS   the control shows TEXT within MS
//   lumora_probe RESULT state TITLE STATE MS  the window and its model are both shown,
//                                        hidden or minimised (STATE) within MS
//   lumora_probe RESULT showwindow TITLE minimise|restore   as another program does it
//   lumora_probe RESULT drag TITLE DX DY  drags the caption with the mouse by DX, DY;
//                                        the model must follow the window
//   lumora_probe RESULT rows TITLE NAME MIN MS   the rows of the list view, once it has
//                                        at least MIN of them (within MS), cells joined by |
//   lumora_probe RESULT rowmenu TITLE NAME ROW ITEM   right-clicks the row with the mouse
//                                        and chooses the pop-up menu's ITEM-th item
//   lumora_probe RESULT hastext TITLE NAME TEXT MS   the control's text holds TEXT within MS
//   lumora_probe RESULT traymenu TITLE ITEM   right-clicks the tray icon and chooses the
//                                        menu's ITEM-th item (from 0) with the keyboard
//   lumora_probe RESULT opened TITLE URL MS   the program's shell was asked to open URL
//                                        within MS (the model report's "#opened" lines)
//   lumora_probe RESULT rowtype TITLE NAME ROW TEXT [open]  double-clicks the row, types
//                                        TEXT (ASCII) into the box that opens, and presses
//                                        Enter (with "open": leaves the box open)
//   lumora_probe RESULT slider TITLE NAME POS   moves the slider to POS as its keys do
//   lumora_probe RESULT barmenu -          right-clicks the speed bar (opens its menu)
//   lumora_probe RESULT wheel TITLE NAME   turns the mouse wheel one notch down over the
//                                        control; answers its top in its parent ("top N")
#include <windows.h>
// The common controls' header needs the types above.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "LumoraWiFiSim/model_report.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_files.h"
#include "text/cp936.h"
#include "ui/controls.h"

namespace {

using lumora::platform::win32::Utf8;
using lumora::platform::win32::Wide;

struct ModelControl {
  int index = 0;
  std::string name;
  lumora::ui::ControlKind kind{};
  int tab = -1;
  bool visible = false, enabled = false, checked = false;
  std::string text;
};

bool HasNoWindow(lumora::ui::ControlKind kind) {
  using K = lumora::ui::ControlKind;
  return kind == K::Timer || kind == K::TrayIcon || kind == K::BalloonTip || kind == K::Menu ||
         kind == K::MenuItem;
}

struct ReportedWindow {
  bool reported = false;
  bool visible = false, minimised = false;
  RECT rect{};
};

// The report the program writes when asked, as UTF-8; empty when there is none.
std::string ReadReport() {
  const HWND reporter = FindWindowW(lumora::apps::kModelReportWindowClass, nullptr);
  DWORD_PTR written = 0;
  if (!reporter ||
      !SendMessageTimeoutW(reporter, RegisterWindowMessageW(lumora::apps::kModelReportMessage), 0,
                           0, SMTO_ABORTIFHUNG, 5000, &written) ||
      !written) {
    return {};
  }
  lumora::platform::win32::Win32Files files;
  return lumora::text::Utf8FromCp936(
      files.ReadWholeFile(lumora::apps::kModelReportPath).value_or(""));
}

ReportedWindow ReadModelWindow() {
  ReportedWindow window;
  std::istringstream lines(ReadReport());
  std::string line;
  if (!std::getline(lines, line) || !line.starts_with("#window\t")) return window;
  std::istringstream fields(line.substr(8));
  int visible = 0, minimised = 0, width = 0, height = 0;
  fields >> visible >> minimised >> window.rect.left >> window.rect.top >> width >> height;
  window.rect.right = window.rect.left + width;
  window.rect.bottom = window.rect.top + height;
  window.reported = !fields.fail();
  window.visible = visible == 1;
  window.minimised = minimised == 1;
  return window;
}

std::vector<ModelControl> ReadModel() {
  std::vector<ModelControl> model;
  std::istringstream lines(ReadReport());
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("#")) continue;
    // Seven fields, then the text, which is the rest of the line.
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < 7) {
      const std::size_t tab = line.find('\t', start);
      if (tab == std::string::npos) break;
      fields.push_back(line.substr(start, tab - start));
      start = tab + 1;
    }
    if (fields.size() < 7) continue;
    ModelControl c;
    c.index = std::atoi(fields[0].c_str());
    c.name = fields[1];
    c.kind = static_cast<lumora::ui::ControlKind>(std::atoi(fields[2].c_str()));
    c.tab = std::atoi(fields[3].c_str());
    c.visible = fields[4] == "1";
    c.enabled = fields[5] == "1";
    c.checked = fields[6] == "1";
    c.text = line.substr(start);
    model.push_back(c);
  }
  return model;
}

// The control's text as it answers WM_GETTEXT, which the system carries across
// processes (GetWindowText would give only the caption the system keeps for it).
std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
    return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(static_cast<std::size_t>(copied));
  std::string utf8;
  for (const char c : Utf8(text)) {
    if (c == '\r') continue;
    utf8 += c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return utf8;
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return Utf8(name);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lParam) {
  auto& byId = *reinterpret_cast<std::map<int, HWND>*>(lParam);
  const int id = GetDlgCtrlID(child);
  if (id >= 1000 && !byId.contains(id)) byId[id] = child;
  return TRUE;
}

HWND WaitForWindow(const std::wstring& title, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    if (HWND window = FindWindowW(nullptr, title.c_str())) return window;
    if (GetTickCount64() > deadline) return nullptr;
    Sleep(100);
  }
}

// The real window of the control the model calls name; nullptr when there is none.
HWND ControlWindow(HWND main, const std::string& name) {
  std::map<int, HWND> byId;
  EnumChildWindows(main, &CollectChild, reinterpret_cast<LPARAM>(&byId));
  for (const ModelControl& c : ReadModel()) {
    if (c.name != name) continue;
    const auto found = byId.find(1000 + c.index);
    return found == byId.end() ? nullptr : found->second;
  }
  return nullptr;
}

// Compares every control that has a window with the model, tab by tab.
std::string Check(HWND main) {
  std::map<int, HWND> byId;
  EnumChildWindows(main, &CollectChild, reinterpret_cast<LPARAM>(&byId));
  HWND tabs = nullptr;
  for (const auto& [id, window] : byId)
    if (ClassOf(window) == "SysTabControl32") tabs = window;
  std::ostringstream problems;
  int compared = 0, mismatches = 0;
  auto mismatch = [&](const ModelControl& c, const std::string& what) {
    ++mismatches;
    problems << c.name << ": " << what << "\n";
  };
  for (int page = 0; page < 5; ++page) {
    if (tabs) SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0);
    Sleep(300);
    const std::vector<ModelControl> model = ReadModel();
    if (model.empty()) return "no model report\n";
    for (const ModelControl& c : model) {
      if (HasNoWindow(c.kind) || (c.tab != page && !(c.tab == -1 && page == 0))) continue;
      const auto found = byId.find(1000 + c.index);
      if (found == byId.end()) {
        mismatch(c, "no window");
        continue;
      }
      ++compared;
      const HWND window = found->second;
      const bool shouldShow = c.visible && (c.tab == -1 || c.tab == page);
      if ((IsWindowVisible(window) != FALSE) != shouldShow)
        mismatch(c, shouldShow ? "hidden, model shows it" : "shown, model hides it");
      if ((IsWindowEnabled(window) != FALSE) != c.enabled)
        mismatch(c, c.enabled ? "disabled, model enables it" : "enabled, model disables it");
      using K = lumora::ui::ControlKind;
      const bool hasText = c.kind == K::Label || c.kind == K::TransparentLabel ||
                           c.kind == K::GroupBox || c.kind == K::Button || c.kind == K::CheckBox ||
                           c.kind == K::RadioButton || c.kind == K::EditBox ||
                           c.kind == K::Hyperlink || c.kind == K::ComboBox;
      if (hasText && WindowText(window) != c.text)
        mismatch(c, "text \"" + WindowText(window) + "\", model \"" + c.text + "\"");
      if (c.kind == K::CheckBox || c.kind == K::RadioButton) {
        const bool checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != c.checked)
          mismatch(c, checked ? "ticked, model clears it" : "clear, model ticks it");
      }
    }
  }
  if (tabs) SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
  std::ostringstream result;
  result << (mismatches == 0 ? "ok" : "mismatch") << ": compared " << compared
         << " control windows on 5 tabs, " << mismatches << " mismatches\n"
         << problems.str();
  return result.str();
}

std::string RealState(HWND window) {
  if (IsIconic(window)) return "minimised";
  return IsWindowVisible(window) ? "shown" : "hidden";
}

std::string ModelState(const ReportedWindow& model) {
  if (!model.reported) return "unreported";
  if (!model.visible) return "hidden";
  return model.minimised ? "minimised" : "shown";
}

// Waits until the real window and the model are both in the wanted state.
std::string WaitForState(HWND main, const std::string& wanted, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    const std::string real = RealState(main);
    const std::string model = ModelState(ReadModelWindow());
    if (real == wanted && model == wanted) return "done\n";
    if (GetTickCount64() > deadline) return "real " + real + ", model " + model + "\n";
    Sleep(100);
  }
}

void MouseTo(POINT point, DWORD buttons) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &input, sizeof input);
  Sleep(50);  // the program's move loop takes each step in turn
}

// Drags the window by its caption as a user does, then waits for the model to hold the
// window's new place.
std::string Drag(HWND main, int dx, int dy) {
  RECT before{};
  GetWindowRect(main, &before);
  // A point of the caption clear of its buttons: what the window itself calls caption.
  POINT grip{before.left + (before.right - before.left) / 3, before.top};
  for (; grip.y < before.top + 60; ++grip.y) {
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(main, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y), SMTO_ABORTIFHUNG, 2000,
                        &hit);
    if (hit == HTCAPTION) break;
  }
  if (grip.y == before.top + 60) return "no caption\n";
  SetForegroundWindow(main);
  MouseTo(grip, 0);
  MouseTo(grip, MOUSEEVENTF_LEFTDOWN);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step)
    MouseTo({grip.x + dx * step / kSteps, grip.y + dy * step / kSteps}, 0);
  MouseTo({grip.x + dx, grip.y + dy}, MOUSEEVENTF_LEFTUP);
  const ULONGLONG deadline = GetTickCount64() + 5000;
  for (;;) {
    RECT now{};
    GetWindowRect(main, &now);
    const ReportedWindow model = ReadModelWindow();
    const bool moved = now.left == before.left + dx && now.top == before.top + dy;
    if (moved && model.rect.left == now.left && model.rect.top == now.top) return "done\n";
    if (GetTickCount64() > deadline) {
      std::ostringstream seen;
      seen << "real " << now.left << "," << now.top << " (from " << before.left << "," << before.top
           << "), model " << model.rect.left << "," << model.rect.top << "\n";
      return seen.str();
    }
    Sleep(100);
  }
}

// Memory in another process, for the list view messages that carry pointers.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) : size_(size) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (process_)
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  explicit operator bool() const { return address_ != nullptr; }
  char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  void Write(std::size_t offset, const void* bytes, std::size_t size) const {
    WriteProcessMemory(process_, At(offset), bytes, size, nullptr);
  }
  void Read(std::size_t offset, void* bytes, std::size_t size) const {
    ReadProcessMemory(process_, At(offset), bytes, size, nullptr);
  }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

std::vector<std::vector<std::string>> ListRows(HWND list) {
  std::vector<std::vector<std::string>> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  constexpr std::size_t kTextChars = 256;
  RemoteMemory remote(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
  if (!remote) return rows;
  for (int row = 0; row < count; ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < columns; ++column) {
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
      item.cchTextMax = kTextChars;
      remote.Write(0, &item, sizeof item);
      const auto length =
          static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                reinterpret_cast<LPARAM>(remote.At(0))));
      std::wstring text(std::min(length, kTextChars), L'\0');
      remote.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
      cells.push_back(Utf8(text));
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

std::string Rows(HWND list, int least, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  while (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) < least && GetTickCount64() < deadline)
    Sleep(100);
  std::string result;
  for (const auto& row : ListRows(list)) {
    for (std::size_t i = 0; i < row.size(); ++i) result += (i ? "|" : "") + row[i];
    result += "\n";
  }
  return result.empty() ? "no rows\n" : result;
}

void Key(WORD key) {
  INPUT input[2]{};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
  Sleep(100);
}

// Waits for the pop-up menu that is coming up and chooses its ITEM-th item (from 0,
// disabled ones counted) with the keyboard, as a user may.
std::string ChoosePopUpItem(int item) {
  const ULONGLONG deadline = GetTickCount64() + 5000;
  HWND menu = nullptr;
  while (!(menu = FindWindowW(L"#32768", nullptr)) || !IsWindowVisible(menu)) {
    if (GetTickCount64() > deadline) return "no menu\n";
    Sleep(50);
  }
  Sleep(200);
  for (int i = 0; i <= item; ++i) Key(VK_DOWN);
  Key(VK_RETURN);
  return "done\n";
}

// A point of the row on the screen, 40 pixels into it; false when there is no row.
bool RowPoint(HWND list, int row, POINT& point) {
  RemoteMemory remote(list, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  remote.Write(0, &rect, sizeof rect);
  if (!remote || !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                               reinterpret_cast<LPARAM>(remote.At(0))))
    return false;
  remote.Read(0, &rect, sizeof rect);
  point = {rect.left + 40, (rect.top + rect.bottom) / 2};
  ClientToScreen(list, &point);
  return true;
}

std::string RowType(HWND main, HWND list, int row, const std::wstring& text, bool enter) {
  POINT point{};
  if (!RowPoint(list, row, point)) return "no such row\n";
  SetForegroundWindow(main);
  Sleep(200);
  MouseTo(point, 0);
  for (int click = 0; click < 2; ++click) {
    MouseTo(point, MOUSEEVENTF_LEFTDOWN);
    MouseTo(point, MOUSEEVENTF_LEFTUP);
  }
  Sleep(300);
  for (const wchar_t c : text) Key(static_cast<WORD>(VkKeyScanW(c) & 0xFF));
  if (enter) Key(VK_RETURN);
  return "done\n";
}

// A right click on the row with the real mouse, then the item of the menu that comes
// up, chosen with the keyboard as a user may.
std::string RowMenu(HWND main, HWND list, int row, int item) {
  POINT point{};
  if (!RowPoint(list, row, point)) return "no such row\n";
  SetForegroundWindow(main);
  Sleep(200);
  MouseTo(point, 0);
  MouseTo(point, MOUSEEVENTF_RIGHTDOWN);
  MouseTo(point, MOUSEEVENTF_RIGHTUP);
  return ChoosePopUpItem(item);
}

// The tray icon's right click as the notification area reports it, then the menu's
// ITEM-th item (from 0, disabled ones counted) chosen with the keyboard.
std::string TrayMenu(HWND main, int item) {
  constexpr UINT kTrayMessage = WM_APP + 40;
  SetForegroundWindow(main);
  PostMessageW(main, kTrayMessage, 0, WM_RBUTTONUP);
  return ChoosePopUpItem(item);
}

// A click on the tray icon's notice as the notification area reports it; then waits
// until the window shows the tab WANTED.
std::string NoticeClick(HWND main, int wanted, DWORD ms) {
  constexpr UINT kTrayMessage = WM_APP + 40;
  PostMessageW(main, kTrayMessage, 0, NIN_BALLOONUSERCLICK);
  std::map<int, HWND> byId;
  EnumChildWindows(main, &CollectChild, reinterpret_cast<LPARAM>(&byId));
  HWND tabs = nullptr;
  for (const auto& [id, window] : byId)
    if (ClassOf(window) == "SysTabControl32") tabs = window;
  if (!tabs) return "no tab control\n";
  const ULONGLONG deadline = GetTickCount64() + ms;
  int current = -1;
  while ((current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0))) != wanted &&
         GetTickCount64() < deadline)
    Sleep(100);
  return current == wanted ? "done\n" : "tab " + std::to_string(current) + "\n";
}

bool Opened(const std::string& url) {
  std::istringstream lines(ReadReport());
  for (std::string line; std::getline(lines, line);)
    if (line == "#opened\t" + url) return true;
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const std::string resultPath = Utf8(argv[1]);
  const std::wstring command = argv[2];
  const std::wstring title = argv[3];
  std::string result;
  if (command == L"list") {
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
          *reinterpret_cast<std::string*>(lParam) +=
              WindowText(window) + "|" + ClassOf(window) + "\n";
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&result));
  } else if (command == L"wait") {
    result = WaitForWindow(title, argc > 4 ? static_cast<DWORD>(_wtoi(argv[4])) : 10000)
                 ? "found\n"
                 : "timeout\n";
  } else if (command == L"gone") {
    const ULONGLONG deadline =
        GetTickCount64() + static_cast<ULONGLONG>(argc > 4 ? _wtoi(argv[4]) : 10000);
    while (FindWindowW(nullptr, title.c_str()) && GetTickCount64() < deadline) Sleep(100);
    result = FindWindowW(nullptr, title.c_str()) ? "still there\n" : "gone\n";
  } else if (command == L"shown" || command == L"hidden") {
    // A window the program keeps (hidden) between its showings: on screen or not.
    const bool wanted = command == L"shown";
    const ULONGLONG deadline =
        GetTickCount64() + static_cast<ULONGLONG>(argc > 4 ? _wtoi(argv[4]) : 10000);
    const auto onScreen = [&] {
      const HWND window = FindWindowW(nullptr, title.c_str());
      return window && IsWindowVisible(window);
    };
    while (onScreen() != wanted && GetTickCount64() < deadline) Sleep(100);
    result = onScreen() == wanted ? "done\n" : "timeout\n";
  } else if (command == L"barmenu") {
    // A right click on the speed bar's face, which covers the bar.
    const HWND bar = FindWindowW(L"LumoraSpeedBar", nullptr);
    const HWND face = bar ? GetDlgItem(bar, 1000) : nullptr;
    if (face) {
      SendMessageW(face, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10));
      SendMessageW(face, WM_RBUTTONUP, 0, MAKELPARAM(20, 10));
    }
    result = face ? "done\n" : "no speed bar\n";
  } else if (HWND main = WaitForWindow(title, 5000); !main) {
    result = "no window\n";
  } else if (command == L"check") {
    result = Check(main);
  } else if (command == L"tab") {
    std::map<int, HWND> byId;
    EnumChildWindows(main, &CollectChild, reinterpret_cast<LPARAM>(&byId));
    for (const auto& [id, window] : byId)
      if (ClassOf(window) == "SysTabControl32")
        SendMessageW(window, TCM_SETCURFOCUS, static_cast<WPARAM>(argc > 4 ? _wtoi(argv[4]) : 0),
                     0);
    result = "done\n";
  } else if ((command == L"click" || command == L"clicktext") && argc > 4) {
    HWND control = nullptr;
    if (command == L"click") {
      control = ControlWindow(main, Utf8(argv[4]));
    } else {
      std::map<int, HWND> byId;
      EnumChildWindows(main, &CollectChild, reinterpret_cast<LPARAM>(&byId));
      for (const auto& [id, window] : byId)
        if (WindowText(window) == Utf8(argv[4])) control = window;
    }
    if (control) {
      // A click as the user makes it, so that the control's own handling runs.
      SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
      SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    }
    result = control ? "done\n" : "no such control\n";
  } else if (command == L"waittext" && argc > 6) {
    HWND control = ControlWindow(main, Utf8(argv[4]));
    const std::string wanted = Utf8(argv[5]);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[6]));
    std::string seen;
    while (control) {
      seen = WindowText(control);
      if (seen == wanted || GetTickCount64() > deadline) break;
      Sleep(100);
    }
    result = !control ? "no such control\n" : seen == wanted ? "done\n" : "text \"" + seen + "\"\n";
  } else if (command == L"wheel" && argc > 4) {
    const HWND control = ControlWindow(main, Utf8(argv[4]));
    if (control) {
      RECT place{};
      GetWindowRect(control, &place);
      SendMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(place.left + 10, place.top + 10));
      GetWindowRect(control, &place);
      MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
      result = "top " + std::to_string(place.top) + "\n";
    } else {
      result = "no such control\n";
    }
  } else if (command == L"state" && argc > 5) {
    result = WaitForState(main, Utf8(argv[4]), static_cast<DWORD>(_wtoi(argv[5])));
  } else if (command == L"showwindow" && argc > 4) {
    const std::wstring how = argv[4];
    ShowWindowAsync(main, how == L"minimise" ? SW_MINIMIZE : SW_RESTORE);
    result = "done\n";
  } else if (command == L"drag" && argc > 5) {
    result = Drag(main, _wtoi(argv[4]), _wtoi(argv[5]));
  } else if (command == L"rows" && argc > 6) {
    const HWND list = ControlWindow(main, Utf8(argv[4]));
    result =
        list ? Rows(list, _wtoi(argv[5]), static_cast<DWORD>(_wtoi(argv[6]))) : "no such control\n";
  } else if (command == L"rowmenu" && argc > 6) {
    const HWND list = ControlWindow(main, Utf8(argv[4]));
    result = list ? RowMenu(main, list, _wtoi(argv[5]), _wtoi(argv[6])) : "no such control\n";
  } else if (command == L"rowtype" && argc > 6) {
    const HWND list = ControlWindow(main, Utf8(argv[4]));
    result = list ? RowType(main, list, _wtoi(argv[5]), argv[6],
                            !(argc > 7 && std::wstring(argv[7]) == L"open"))
                  : "no such control\n";
  } else if (command == L"slider" && argc > 5) {
    // The slider moved as by its keys: the new position, then the scroll notice.
    const HWND slider = ControlWindow(main, Utf8(argv[4]));
    if (slider) {
      SendMessageW(slider, TBM_SETPOS, TRUE, _wtoi(argv[5]));
      SendMessageW(GetParent(slider), WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
    }
    result = slider ? "done\n" : "no such control\n";
  } else if (command == L"hastext" && argc > 6) {
    HWND control = ControlWindow(main, Utf8(argv[4]));
    const std::string wanted = Utf8(argv[5]);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[6]));
    std::string seen;
    while (control && (seen = WindowText(control)).find(wanted) == std::string::npos &&
           GetTickCount64() < deadline)
      Sleep(100);
    result = !control                                 ? "no such control\n"
             : seen.find(wanted) != std::string::npos ? "done\n"
                                                      : "text \"" + seen + "\"\n";
  } else if (command == L"noticeclick" && argc > 5) {
    result = NoticeClick(main, _wtoi(argv[4]), static_cast<DWORD>(_wtoi(argv[5])));
  } else if (command == L"traymenu" && argc > 4) {
    result = TrayMenu(main, _wtoi(argv[4]));
  } else if (command == L"opened" && argc > 5) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[5]));
    while (!Opened(Utf8(argv[4])) && GetTickCount64() < deadline) Sleep(200);
    result = Opened(Utf8(argv[4])) ? "done\n" : "not opened\n";
  } else if (command == L"close") {
    PostMessageW(main, WM_CLOSE, 0, 0);
    result = "done\n";
  } else if (command == L"escape") {
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    result = "done\n";
  }
  lumora::platform::win32::Win32Files files;
  files.ReplaceWholeFile(resultPath, result);
  return result.starts_with("ok") || result.starts_with("found") || result.starts_with("done") ||
                 result.starts_with("gone")
             ? 0
             : 1;
}
