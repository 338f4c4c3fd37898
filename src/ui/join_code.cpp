#include "ui/join_code.h"

#include <cstdint>
#include <vector>

#include "qrcodegen.hpp"

namespace lumora::ui {

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    if (c == '\\' || c == ';' || c == ',' || c == ':' || c == '"') out += '\\';
    out += c;
  }
}

bool Ascii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

constexpr int kUtf8Eci = 26;

}  // namespace

std::string WifiJoinText(std::string_view name, std::string_view passPhrase) {
  std::string text = "WIFI:T:WPA;S:";
  AppendEscaped(text, name);
  text += ";P:";
  AppendEscaped(text, passPhrase);
  text += ";;";
  return text;
}

QrModules EncodeQrCode(std::string_view text) {
  using qrcodegen::QrCode;
  using qrcodegen::QrSegment;
  std::vector<QrSegment> segments;
  // Plain ASCII goes without the designator, which the oldest readers do not know.
  if (!Ascii(text)) segments.push_back(QrSegment::makeEci(kUtf8Eci));
  segments.push_back(QrSegment::makeBytes(std::vector<std::uint8_t>(text.begin(), text.end())));
  const QrCode code = QrCode::encodeSegments(segments, QrCode::Ecc::MEDIUM);
  QrModules modules;
  modules.size = code.getSize();
  modules.dark.reserve(static_cast<std::size_t>(modules.size * modules.size));
  for (int y = 0; y < modules.size; ++y)
    for (int x = 0; x < modules.size; ++x) modules.dark.push_back(code.getModule(x, y));
  return modules;
}

QrPlacement PlaceQrCode(int side, int modules) {
  if (modules <= 0) return {};
  const int modulePixels = side / (modules + 2 * kQrQuietModules);
  return {modulePixels, (side - modulePixels * modules) / 2};
}

JoinCodeWindow::JoinCodeWindow(const WindowModel& owner)
    : WindowModel("LumoraJoinCode", {0, 0, 456, 400}, kJoinCodeTitle) {
  SetLook({.owner = &owner, .closesOnEscape = true});
}

void JoinCodeWindow::ShowNetwork(std::string_view name, std::string_view passPhrase) {
  画板_二维码.SetModules(EncodeQrCode(WifiJoinText(name, passPhrase)));
  标签_WiFi名称.SetText("WiFi名称：" + std::string(name));
  标签_WiFi密码.SetText("WiFi密码：" + std::string(passPhrase));
}

}  // namespace lumora::ui
