#pragma once
// For black-box tests of the simulated program: a hidden window that, when asked,
// writes the state of the main window's model, the window's and every control's, to a
// file, so that a second process can compare the real windows with the model.

#include <functional>
#include <string>
#include <vector>

#include "ui/main_window.h"

namespace lumora::apps {

inline constexpr wchar_t kModelReportWindowClass[] = L"LumoraWiFiSim.ModelReport";
// The message the window answers (registered by this name); the report is written
// before SendMessage returns.
inline constexpr wchar_t kModelReportMessage[] = L"LumoraWiFiSim.WriteModelReport";
inline constexpr char kModelReportPath[] = "c:\\LumoraWiFiSim.model.txt";

// Creates the window on the calling (UI) thread; it lives as long as the process.
// openedUrls gives what the simulated shell was asked to open, reported after the
// controls as lines "#opened" + tab + address. sessionEnds runs when the Windows session
// ends, after which the system may end the process before the message loop returns.
void StartModelReport(const ui::MainWindow& window,
                      std::function<std::vector<std::string>()> openedUrls,
                      std::function<void()> sessionEnds);

}  // namespace lumora::apps
