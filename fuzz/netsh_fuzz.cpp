// What netsh prints, in code page 936 as the console hands it over: the failure text
// tidied for its message box, the drivers' word on the hosted network, and whether the
// hosted connection is on DHCP.

#include "fuzz_input.h"
#include "hotspot/hotspot.h"
#include "hotspot/mobile_hotspot.h"
#include "text/cp936.h"
#include "text/search.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 2);
  const std::string output = text::Utf8FromCp936(pieces[0]);
  const std::string tidy = hotspot::TidyNetshOutput(output);
  fuzz::Check(tidy.size() <= output.size(), "tidying only takes away");
  hotspot::DriverHostedNetworkSupport(output);
  // The connection's name comes from the system's adapter list.
  const std::string connection = text::Utf8FromCp936(pieces[1]);
  const bool onDhcp = hotspot::ConnectionOnDhcp(output, connection);
  // The pattern ignores case, as the reading of netsh's text always has.
  fuzz::Check(!onDhcp || text::FindIgnoreAsciiCase(output, "DHCP") != std::string::npos,
              "DHCP is on only where the text says DHCP");
  return 0;
}
