#include "netconfig/service_preparation.h"

#include "exec/worker_context.h"

namespace lumora::netconfig {

void PrepareService(platform::ServicePort& services, ui::MessageBoxes& messages,
                    std::string_view service, std::uint32_t startType, bool startIt) {
  // Each call is a step of its own: an ended start-up worker goes no further.
  if (exec::PlatformCall([&] { return services.StartType(service); }) != startType)
    exec::PlatformCall([&] { services.SetStartType(service, startType); });
  if (!startIt) return;
  // Without administrator rights the state reads as 0: nothing is started and nothing
  // is said.
  if (exec::PlatformCall([&] { return services.CurrentState(service); }) != kStateStopped) return;
  if (!exec::PlatformCall([&] { return services.Start(service); })) {
    messages.Show("防火墙打开失败，所依赖服务可能不完整！", "提示",
                  ui::kMessageOk | ui::kMessageIconError);
  }
}

void PrepareSharingServices(platform::ServicePort& services, ui::MessageBoxes& messages) {
  PrepareService(services, messages, "SharedAccess", kStartOnDemand, false);
  PrepareService(services, messages, "MpsSvc", kStartAutomatic, true);
}

}  // namespace lumora::netconfig
