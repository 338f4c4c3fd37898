#pragma once
// The two arrangements of the tab "管理用户": blacklist mode shows the client list and
// the blacklist, whitelist mode the whitelist and its explanation.

#include "ui/main_window.h"

namespace lumora::ui {

enum class AccessMode { Blacklist, Whitelist };

void ArrangeUsersTab(MainWindow& window, AccessMode mode);

}  // namespace lumora::ui
