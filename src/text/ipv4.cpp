#include "text/ipv4.h"

#include <charconv>

namespace lumora::text {

std::optional<std::uint32_t> ParseIpv4(std::string_view dotted) {
  std::uint32_t address = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (dotted.empty() || dotted[0] < '0' || dotted[0] > '9') return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(dotted.data(), dotted.data() + dotted.size(), value);
    if (error != std::errc{} || value > 255 || end - dotted.data() > 3) return std::nullopt;
    address |= value << (8 * octet);
    dotted.remove_prefix(static_cast<std::size_t>(end - dotted.data()));
    if (octet < 3) {
      if (!dotted.starts_with('.')) return std::nullopt;
      dotted.remove_prefix(1);
    }
  }
  if (!dotted.empty()) return std::nullopt;
  return address;
}

std::string DottedIpv4(std::uint32_t address) {
  std::string dotted;
  for (int octet = 0; octet < 4; ++octet) {
    if (octet > 0) dotted += '.';
    dotted += std::to_string((address >> (8 * octet)) & 0xFF);
  }
  return dotted;
}

}  // namespace lumora::text
