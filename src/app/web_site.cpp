#include "app/web_site.h"

#include "text/search.h"

namespace lumora::app {

std::string_view SiteAddress() { return LUMORA_SITE_ADDRESS; }

std::string UpdateInformationUrl() { return std::string(SiteAddress()) + "/updata.txt"; }
std::string AnnouncementPageUrl() { return std::string(SiteAddress()) + "/sygg.html"; }
std::string HelpTextUrl() { return std::string(SiteAddress()) + "/upwifi/bzxx.txt"; }
std::string StatisticsPageUrl() { return std::string(SiteAddress()) + "/upwifi/tongji.html"; }

bool IsWebAddress(std::string_view address) {
  // The text comes from the site over plain HTTP: nothing in it is trusted.
  bool schemeKnown = false;
  for (std::string_view scheme : {"http://", "https://"}) {
    if (address.size() > scheme.size() &&
        text::EqualsIgnoreAsciiCase(address.substr(0, scheme.size()), scheme)) {
      schemeKnown = true;
    }
  }
  if (!schemeKnown) return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
  }
  return true;
}

void OpenWebAddress(platform::ShellPort& shell, std::string_view address) {
  if (IsWebAddress(address)) shell.OpenUrl(address);
}

}  // namespace lumora::app
