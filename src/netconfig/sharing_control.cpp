#include "netconfig/sharing_control.h"

#include "exec/worker_context.h"
#include "netconfig/connection_discovery.h"
#include "text/search.h"

namespace lumora::netconfig {

namespace {

// Between two connections of a long walk on the UI thread, the window keeps working.
void BetweenConnections(NetworkContext& net) {
  if (net.exec.Dispatcher().IsUiThread()) net.exec.Dispatcher().ProcessPendingEvents();
}

bool OccursTwiceOrThrice(std::string_view text, std::string_view literal) {
  const std::size_t count = text::CountIgnoreAsciiCase(text, literal);
  return count == 2 || count == 3;
}

}  // namespace

void ResetSharing(NetworkContext& net, const std::function<void()>& stopHostedNetwork) {
  std::string collected;
  exec::PlatformCall([&] {
    net.ports.sharing.WalkEveryConnection([&](platform::SharedConnection& connection) {
      connection.DisableSharing();
      const std::string name = connection.Name();
      if (name.find("本地") != std::string::npos) collected += name;
      if (net.reportsVersion62 && name.find("以太") != std::string::npos) collected += name;
      BetweenConnections(net);
      return !exec::CurrentWorkerEnded();
    });
  });

  net.exec.RunOnUi([&] {
    ui::EditBox& candidates = net.window.编辑框去除多个本地;
    std::string text = candidates.Text() + collected;
    // Several wired names collapse to the generic one; the list is never cleared.
    if (OccursTwiceOrThrice(text, "本地")) text = "本地连接";
    if (!net.Windows7() && OccursTwiceOrThrice(text, "以太网")) text = "以太网";
    candidates.SetText(text);
  });

  if (!net.Windows7() && stopHostedNetwork) stopHostedNetwork();
  net.exec.RunConsoleCommand(kDisallowHostedNetwork);
}

void SwitchOnSharing(NetworkContext& net) {
  std::string hosted, internet;
  net.exec.RunOnUi([&] {
    hosted = net.window.编辑框虚拟网卡.Text();
    internet = std::string(TrimSpaces(net.window.组合框1.Text()));
  });
  // An end may come between the two sides of one connection as well.
  exec::PlatformCall([&] {
    net.ports.sharing.WalkEveryConnection([&](platform::SharedConnection& connection) {
      const std::string name = connection.Name();
      if (name == hosted) connection.EnableSharing(platform::SharingType::Private);
      if (exec::CurrentWorkerEnded()) return false;
      if (name == internet) connection.EnableSharing(platform::SharingType::Public);
      BetweenConnections(net);
      return !exec::CurrentWorkerEnded();
    });
  });
}

}  // namespace lumora::netconfig
