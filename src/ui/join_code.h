#pragma once
// The code a phone's camera joins the hotspot by, and the small window that shows it.

#include <string>
#include <string_view>

#include "ui/controls.h"

namespace lumora::ui {

// The text phones join a WPA network by: WIFI:T:WPA;S:<name>;P:<pass phrase>;; with
// \ ; , : and " escaped by a backslash in the name and the pass phrase.
std::string WifiJoinText(std::string_view name, std::string_view passPhrase);

// The QR code of a UTF-8 text, in byte mode at error correction level M or better. A
// text beyond ASCII is announced as UTF-8 (ECI 26), since readers guess the character
// set of bytes that nothing announces, and some guess Shift JIS.
// No modules for a text beyond the largest code (the longest name and pass phrase,
// escaped, fill a tenth of it).
QrModules EncodeQrCode(std::string_view text);

// Where the modules of a code of `modules` modules a side go in a square of `side`
// pixels: whole pixels each, as large as the square holds with the quiet zone, centred.
struct QrPlacement {
  int modulePixels = 0;
  int origin = 0;  // of the first module, from the square's top and left edges
};
QrPlacement PlaceQrCode(int side, int modules);

inline constexpr std::string_view kJoinCodeTitle = "扫码连接WiFi";
inline constexpr std::string_view kJoinCodeHelp = "用手机相机扫描二维码即可连接WiFi";

// The window of the code, owned by the main window; Esc and the close box close it.
struct JoinCodeWindow : WindowModel {
  explicit JoinCodeWindow(const WindowModel& owner);

  // The code of the longest text the hotspot takes (a 32-byte name and a 63-character
  // pass phrase, every character escaped) still has modules of four pixels here.
  QrCodeControl 画板_二维码{*this, "画板_二维码", Place::Window(), {88, 10, 264, 264}};
  StaticControl 标签_WiFi名称{*this,           "标签_WiFi名称",    ControlKind::Label,
                              Place::Window(), {12, 284, 416, 18}, "",
                              kDesignDefault};
  StaticControl 标签_WiFi密码{*this,           "标签_WiFi密码",    ControlKind::Label,
                              Place::Window(), {12, 304, 416, 18}, "",
                              kDesignDefault};
  StaticControl 标签_扫码说明{*this,           "标签_扫码说明",    ControlKind::Label,
                              Place::Window(), {12, 330, 416, 18}, kJoinCodeHelp,
                              kDesignDefault};

  // Shows the code, the name and the pass phrase of the network a phone is to join.
  void ShowNetwork(std::string_view name, std::string_view passPhrase);
};

}  // namespace lumora::ui
