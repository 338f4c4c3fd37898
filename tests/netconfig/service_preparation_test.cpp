#include "netconfig/service_preparation.h"

#include <gtest/gtest.h>

#include "platform/sim/simulated_network.h"
#include "ui/headless/headless_ui.h"

namespace lumora::netconfig {
namespace {

using platform::sim::SimService;

TEST(ServicePreparation, SetsStartTypesAndStartsTheFirewall) {
  struct Case {
    SimService sharing, firewall;
    SimService sharingAfter, firewallAfter;
    bool message;
    bool administrator;
  };
  const Case cases[] = {
      // Sharing disabled becomes on demand and is not started; a running automatic
      // firewall is left alone.
      {{4, 1, true}, {2, 4, true}, {3, 1, true}, {2, 4, true}, false, true},
      // A disabled stopped firewall becomes automatic and is started.
      {{3, 1, true}, {4, 1, true}, {3, 1, true}, {2, 4, true}, false, true},
      // On demand and stopped: automatic and started.
      {{3, 1, true}, {3, 1, true}, {3, 1, true}, {2, 4, true}, false, true},
      // A firewall that cannot start says so.
      {{3, 1, true}, {2, 1, false}, {3, 1, true}, {2, 1, false}, true, true},
      // Without administrator rights nothing changes and nothing is said.
      {{4, 1, true}, {4, 1, true}, {4, 1, true}, {4, 1, true}, false, false},
  };
  for (const Case& c : cases) {
    platform::sim::Scenario scenario;
    scenario.services = {{"SharedAccess", c.sharing}, {"MpsSvc", c.firewall}};
    scenario.administrator = c.administrator;
    platform::sim::SimulatedNetwork network(scenario);
    ui::headless::HeadlessMessageBoxes messages;
    PrepareSharingServices(network, messages);
    EXPECT_EQ(network.Service("SharedAccess").startType, c.sharingAfter.startType);
    EXPECT_EQ(network.Service("SharedAccess").state, c.sharingAfter.state);
    EXPECT_EQ(network.Service("MpsSvc").startType, c.firewallAfter.startType);
    EXPECT_EQ(network.Service("MpsSvc").state, c.firewallAfter.state);
    const auto shown = messages.AllShown();
    ASSERT_EQ(shown.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(shown[0].text, "防火墙打开失败，所依赖服务可能不完整！");
      EXPECT_EQ(shown[0].title, "提示");
      EXPECT_EQ(shown[0].style, 16u);
    }
  }
}

}  // namespace
}  // namespace lumora::netconfig
