#pragma once
// The session's traffic on the tab "流量统计": the megabytes the hotspot's devices sent
// and received through the hosted connection, their sum, and what that would have cost
// on a mobile data plan. The labels are the only store of the figures: the sum and the
// price are read back from them.

#include "netconfig/adapter_toolkit.h"
#include "ui/main_window.h"

namespace lumora::traffic {

inline constexpr double kBytesPerMegabyte = 1048576;
inline constexpr double kYuanPerMegabyte = 0.3;

// The tick of 时钟流量统计: nothing while the hosted connection is unknown; otherwise
// the four labels from the hosted connection's byte counters (zero when its interface
// cannot be read). Its received bytes are what the devices uploaded.
void RefreshTrafficFigures(ui::MainWindow& w, netconfig::AdapterToolkit& toolkit);

}  // namespace lumora::traffic
