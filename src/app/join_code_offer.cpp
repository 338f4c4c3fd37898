#include "app/join_code_offer.h"

#include "platform/failure_report.h"

namespace lumora::app {

JoinCodeOffer::JoinCodeOffer(ui::MainWindow& main, ui::JoinCodeWindow& window,
                             const hotspot::Hotspot& hotspot)
    : main_(main), window_(window), hotspot_(hotspot) {
  main_.按钮扫码.onClick = [this] { Open(); };
  window_.onCloseRequested = [this] { window_.SetVisible(false); };
  main_.AddObserver(this);
}

JoinCodeOffer::~JoinCodeOffer() { main_.RemoveObserver(this); }

void JoinCodeOffer::OnControlChanged(ui::Control& control, ui::Change change) {
  if (&control != &main_.按钮开始 || change != ui::Change::Text) return;
  const bool running = main_.按钮开始.Text() == hotspot::kCaptionRunning;
  main_.按钮扫码.SetVisible(running);
  if (!running) window_.SetVisible(false);
}

void JoinCodeOffer::Open() {
  const hotspot::Hotspot::Network& network = hotspot_.RunningNetwork();
  window_.ShowNetwork(network.name, network.passPhrase);
  if (window_.画板_二维码.Modules().size == 0)
    platform::ReportFailure("JoinCodeOffer", "the network does not fit a QR code");
  // Over the middle of the main window, where the user looks.
  const ui::Rect& owner = main_.Geometry();
  const ui::Rect& own = window_.Geometry();
  window_.SetGeometry({owner.left + (owner.width - own.width) / 2,
                       owner.top + (owner.height - own.height) / 2, own.width, own.height});
  window_.SetVisible(true);
  window_.Activate();
}

}  // namespace lumora::app
