#include "ui/users_tab.h"

namespace lumora::ui {

void ArrangeUsersTab(MainWindow& w, AccessMode mode) {
  const bool blacklist = mode == AccessMode::Blacklist;
  w.单选框黑.SetChecked(blacklist);
  w.单选框白.SetChecked(!blacklist);
  w.分组框4.SetText(blacklist ? "允许上网的用户↓" : "白名单列表↓");
  w.透明标签3.SetLeft(blacklist ? 134 : 90);
  w.透明标签3.SetText(blacklist ? "右击鼠标拉入黑名单   双击可修改名称备注"
                                : "当前模式仅允许下表中的用户上网，右击鼠标移出白名单");
  w.分组框3.SetVisible(blacklist);
  w.透明标签_白说明.SetVisible(!blacklist);
  w.超级列表框1.SetVisible(blacklist);
  w.超级列表框2.SetVisible(blacklist);
  w.超级列表框3.SetVisible(!blacklist);
}

}  // namespace lumora::ui
