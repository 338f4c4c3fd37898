#include "traffic/traffic_figures.h"

#include <string>

#include "text/number_text.h"

namespace lumora::traffic {

void RefreshTrafficFigures(ui::MainWindow& w, netconfig::AdapterToolkit& toolkit) {
  const std::string hosted = w.编辑框虚拟网卡.Text();
  if (hosted.empty()) return;
  // Two queries, one for each counter: traffic in between makes the pair slightly
  // inconsistent, which the figures accept.
  const std::uint64_t received = toolkit.InterfaceRowOfConnection(hosted).row.inOctets;
  const std::uint64_t sent = toolkit.InterfaceRowOfConnection(hosted).row.outOctets;

  w.标签本次上传流量.SetText(
      text::FixedTwoDecimals(static_cast<double>(received) / kBytesPerMegabyte) + " MB");
  w.标签本次下载流量.SetText(text::FixedTwoDecimals(static_cast<double>(sent) / kBytesPerMegabyte) +
                             " MB");
  // The sum is that of the two rounded figures as shown, so it can differ in its last
  // digit from the rounded sum of the counters.
  const double total = text::LeadingNumber(w.标签本次上传流量.Text()) +
                       text::LeadingNumber(w.标签本次下载流量.Text());
  w.标签本次总流量.SetText(text::PlainNumber(total) + " MB");
  w.标签本次总金额.SetText(
      text::FixedTwoDecimals(text::LeadingNumber(w.标签本次总流量.Text()) * kYuanPerMegabyte) +
      " 元");
}

}  // namespace lumora::traffic
