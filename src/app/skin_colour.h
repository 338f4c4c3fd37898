#pragma once
// The colour tone slider of the settings tab and its restore button.

namespace lumora::app {

class Application;

void ConnectSkinColour(Application& app);

}  // namespace lumora::app
