#include "LumoraWiFiSim/model_report.h"

#include <windows.h>

#include "platform/win32/win32_files.h"
#include "text/cp936.h"

namespace lumora::apps {

namespace {

const ui::MainWindow* gReported = nullptr;
std::function<std::vector<std::string>()> gOpenedUrls;
std::function<void()> gSessionEnds;
UINT gReportMessage = 0;

// The window's own line first: "#window", visible, minimised, left, top, width, height.
// Then one line per control: index, name, kind, tab page, visible, enabled, checked,
// text; tabs between, line breaks in texts written as \n.
std::string Report(const ui::MainWindow& window) {
  const ui::Rect& g = window.Geometry();
  std::string report = std::string("#window\t") + (window.Visible() ? "1" : "0") + "\t" +
                       (window.Minimised() ? "1" : "0") + "\t" + std::to_string(g.left) + "\t" +
                       std::to_string(g.top) + "\t" + std::to_string(g.width) + "\t" +
                       std::to_string(g.height) + "\n";
  const auto& controls = window.Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ui::Control& c = *controls[i];
    const auto* box = dynamic_cast<const ui::CheckBox*>(&c);
    std::string text;
    for (const char ch : c.Text()) {
      if (ch == '\r') continue;
      text += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    }
    report += std::to_string(i) + "\t" + c.Name() + "\t" +
              std::to_string(static_cast<int>(c.Kind())) + "\t" + std::to_string(c.TabPage()) +
              "\t" + (c.Visible() ? "1" : "0") + "\t" + (c.Enabled() ? "1" : "0") + "\t" +
              (box && box->Checked() ? "1" : "0") + "\t" + text + "\n";
  }
  if (gOpenedUrls)
    for (const std::string& url : gOpenedUrls()) report += "#opened\t" + url + "\n";
  return report;
}

LRESULT CALLBACK ReportWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == gReportMessage && gReported) {
    platform::win32::Win32Files files;
    return files.ReplaceWholeFile(kModelReportPath, text::Cp936FromUtf8(Report(*gReported))) ? 1
                                                                                             : 0;
  }
  if (message == WM_ENDSESSION) {
    if (wParam && gSessionEnds) gSessionEnds();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void StartModelReport(const ui::MainWindow& window,
                      std::function<std::vector<std::string>()> openedUrls,
                      std::function<void()> sessionEnds) {
  gReported = &window;
  gOpenedUrls = std::move(openedUrls);
  gSessionEnds = std::move(sessionEnds);
  gReportMessage = RegisterWindowMessageW(kModelReportMessage);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ReportWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kModelReportWindowClass;
  RegisterClassExW(&windowClass);
  // A hidden top-level window rather than a message-only one, so that FindWindow in
  // another process finds it.
  CreateWindowExW(WS_EX_TOOLWINDOW, kModelReportWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                  nullptr, windowClass.hInstance, nullptr);
}

}  // namespace lumora::apps
