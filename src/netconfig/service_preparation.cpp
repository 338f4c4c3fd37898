#include "netconfig/service_preparation.h"

namespace lumora::netconfig {

void PrepareService(platform::ServicePort& services, ui::MessageBoxes& messages,
                    std::string_view service, std::uint32_t startType, bool startIt) {
  if (services.StartType(service) != startType) services.SetStartType(service, startType);
  if (!startIt) return;
  // Without administrator rights the state reads as 0: nothing is started and nothing
  // is said.
  if (services.CurrentState(service) == kStateStopped && !services.Start(service)) {
    messages.Show("防火墙打开失败，所依赖服务可能不完整！", "提示",
                  ui::kMessageOk | ui::kMessageIconError);
  }
}

void PrepareSharingServices(platform::ServicePort& services, ui::MessageBoxes& messages) {
  PrepareService(services, messages, "SharedAccess", kStartOnDemand, false);
  PrepareService(services, messages, "MpsSvc", kStartAutomatic, true);
}

}  // namespace lumora::netconfig
