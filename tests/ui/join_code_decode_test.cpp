// The join code read back as a phone reads it: the code drawn in the window's square,
// decoded by zbar, and the WIFI: text taken apart field by field. The name and the pass
// phrase must come back exactly.
#include <gtest/gtest.h>
#include <zbar.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/join_code.h"

namespace lumora::ui {
namespace {

constexpr int kSide = 264;  // the window's square at 96 DPI

// The square as the window paints it: white, and the dark modules black.
std::vector<std::uint8_t> Draw(const QrModules& modules, int side) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side * side), 0xFF);
  const QrPlacement place = PlaceQrCode(side, modules.size);
  for (int y = 0; y < modules.size; ++y)
    for (int x = 0; x < modules.size; ++x) {
      if (!modules.Dark(x, y)) continue;
      for (int dy = 0; dy < place.modulePixels; ++dy)
        for (int dx = 0; dx < place.modulePixels; ++dx)
          pixels[static_cast<std::size_t>((place.origin + y * place.modulePixels + dy) * side +
                                          place.origin + x * place.modulePixels + dx)] = 0;
    }
  return pixels;
}

std::optional<std::string> Decode(const std::vector<std::uint8_t>& pixels, int side) {
  zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  zbar::zbar_image_t* image = zbar::zbar_image_create();
  zbar::zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar::zbar_image_set_size(image, static_cast<unsigned>(side), static_cast<unsigned>(side));
  zbar::zbar_image_set_data(image, pixels.data(), pixels.size(), nullptr);
  std::optional<std::string> text;
  if (zbar::zbar_scan_image(scanner, image) > 0) {
    const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(image);
    text =
        std::string(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol));
  }
  zbar::zbar_image_destroy(image);
  zbar::zbar_image_scanner_destroy(scanner);
  return text;
}

// The fields of a WIFI: text as a phone's reader takes them apart: up to each ';' that
// no backslash escapes, a backslash taking the next character as it stands.
std::map<std::string, std::string> Fields(std::string_view text) {
  std::map<std::string, std::string> fields;
  EXPECT_TRUE(text.starts_with("WIFI:")) << text;
  std::size_t at = 5;
  while (at < text.size() && text[at] != ';') {
    const std::size_t colon = text.find(':', at);
    if (colon == std::string_view::npos) break;
    const std::string key(text.substr(at, colon - at));
    std::string value;
    for (at = colon + 1; at < text.size() && text[at] != ';'; ++at) {
      if (text[at] == '\\' && at + 1 < text.size()) ++at;
      value += text[at];
    }
    fields[key] = value;
    ++at;
  }
  return fields;
}

TEST(JoinCodeDecode, EveryNameAndPassPhraseComesBackExactly) {
  struct Case {
    std::string name, passPhrase;
  };
  const Case cases[] = {
      {"mylove", "2468013579"},
      {"a;b", "pass;word"},
      {"a,b", "pass,word"},
      {"a:b", "pass:word"},
      {"a\\b", "pass\\word"},
      {"a\"b", "pass\"word"},
      {";,:\\\"", "\\\";:,12345678"},
      {"\\", "\\\\\\\\\\\\\\\\"},
      {"WIFI:T:WEP;S:x;;", "P:y;;H:true;;"},
      {" blanks  at the ends ", " 1234 5678 "},
      // Bytes a reader might take for Shift JIS, were they not announced as UTF-8.
      {"家里的WiFi", "12345678"},
      {"家里的WiFi", "密码12345678"},
      {"咖啡店；，：\\WiFi", "口令；12345678"},
      // The longest the hotspot takes: 32 bytes of name in code page 936, 63 of pass
      // phrase, each character escaped.
      {"一二三四五六七八九十一二三四五六", std::string(63, '\\')},
      {std::string(32, ';'), std::string(63, ':')},
      {std::string(32, 'W'), std::string(63, 'p')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " / " + c.passPhrase);
    const QrModules modules = EncodeQrCode(WifiJoinText(c.name, c.passPhrase));
    ASSERT_GE(PlaceQrCode(kSide, modules.size).modulePixels, 4);
    const std::optional<std::string> text = Decode(Draw(modules, kSide), kSide);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, WifiJoinText(c.name, c.passPhrase));
    const auto fields = Fields(*text);
    EXPECT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields.at("T"), "WPA");
    EXPECT_EQ(fields.at("S"), c.name);
    EXPECT_EQ(fields.at("P"), c.passPhrase);
  }
}

TEST(JoinCodeDecode, TheQuietZoneAndTheModulesGrowWithTheSquare) {
  const QrModules modules = EncodeQrCode(WifiJoinText("mylove", "2468013579"));
  for (const int side : {264, 330, 396, 528}) {  // 96, 120, 144 and 192 DPI
    SCOPED_TRACE(side);
    const QrPlacement place = PlaceQrCode(side, modules.size);
    EXPECT_GE(place.modulePixels, 4 * side / kSide);
    EXPECT_GE(place.origin, kQrQuietModules * place.modulePixels);
    EXPECT_LE(place.origin * 2 + place.modulePixels * modules.size, side);
    EXPECT_EQ(Decode(Draw(modules, side), side), WifiJoinText("mylove", "2468013579"));
  }
}

}  // namespace
}  // namespace lumora::ui
