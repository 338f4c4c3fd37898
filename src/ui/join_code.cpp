#include "ui/join_code.h"

#include <cstdint>
#include <vector>

#include "qrcodegen.h"

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
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  std::vector<std::uint8_t> eciData(qrcodegen_calcSegmentBufferSize(qrcodegen_Mode_ECI, 0));
  std::vector<std::uint8_t> byteData(
      qrcodegen_calcSegmentBufferSize(qrcodegen_Mode_BYTE, bytes.size()));
  std::vector<qrcodegen_Segment> segments;
  // Plain ASCII goes without the designator, which the oldest readers do not know.
  if (!Ascii(text)) segments.push_back(qrcodegen_makeEci(kUtf8Eci, eciData.data()));
  segments.push_back(qrcodegen_makeBytes(bytes.data(), bytes.size(), byteData.data()));
  std::vector<std::uint8_t> code(qrcodegen_BUFFER_LEN_MAX), work(qrcodegen_BUFFER_LEN_MAX);
  QrModules modules;
  if (!qrcodegen_encodeSegments(segments.data(), segments.size(), qrcodegen_Ecc_MEDIUM,
                                work.data(), code.data()))
    return modules;
  modules.size = qrcodegen_getSize(code.data());
  modules.dark.reserve(static_cast<std::size_t>(modules.size * modules.size));
  for (int y = 0; y < modules.size; ++y)
    for (int x = 0; x < modules.size; ++x)
      modules.dark.push_back(qrcodegen_getModule(code.data(), x, y));
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
