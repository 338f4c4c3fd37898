#pragma once
// The main window's own actions: bringing it up from the tray, hiding it there, the
// menus, the connections folder, the tab switch that runs the traffic timer, the
// show-pass-phrase box, the usage help and the close sequence.

namespace lumora::app {

class Application;

// Gives the controls of the main window these actions as their handlers.
void ConnectWindowActions(Application& app);

void BringToFront(Application& app);
// Shows the main window, restored, in the middle of the primary screen.
void ShowCentred(Application& app);
void CloseSequence(Application& app);
// The exit of the tray menu (and of the speed bar's menu).
void ExitProgram(Application& app);
// The end after the user accepted an update: the window hides and the program ends.
void LeaveForUpdate(Application& app);
// Each way out runs once: a request that comes while one runs (in its pumped waits) is
// ignored.

}  // namespace lumora::app
