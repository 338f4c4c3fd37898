#pragma once
// IPv4 addresses in dotted decimal, and as IP Helper and Winsock hold them: a 32-bit
// value whose lowest byte is the first octet.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::text {

// Four decimal octets of at most three digits each, nothing else; none otherwise.
std::optional<std::uint32_t> ParseIpv4(std::string_view dotted);

std::string DottedIpv4(std::uint32_t address);

}  // namespace lumora::text
