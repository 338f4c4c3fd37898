#pragma once
// The main window and the speed bar window, control by control, with the names, places,
// sizes, texts and design states of the window layout. Each member is a control of the
// model; declaration order is creation order.

#include "ui/controls.h"

namespace lumora::ui {

inline constexpr std::string_view kProgramVersion = LUMORA_VERSION;
inline constexpr std::string_view kMainWindowTitle = "LumoraWiFi" LUMORA_VERSION;

// Tab pages of 选择夹1.
enum TabPage : int { kTabMain = 0, kTabUsers = 1, kTabSettings = 2, kTabTraffic = 3, kTabHelp = 4 };

struct MainWindow : WindowModel {
  MainWindow();

  TabControl 选择夹1{*this, "选择夹1", {-1, -2, 455, 330},
                     {"主界面", "管理用户", "设置中心", "流量统计", "帮助信息"}};

  // Tab "主界面".
  StaticControl 分组框7{*this, "分组框7", ControlKind::GroupBox, Place::Tab(kTabMain),
                        {12, 24, 402, 62}, "", kHidden};
  HtmlControl 超文本浏览框1{*this, "超文本浏览框1", ControlKind::HtmlBrowser, Place::In(分组框7),
                            {-5, -5, 450, 90}, "", kHidden | kDisabled};
  StaticControl 标签9{*this, "标签9", ControlKind::Label, Place::Tab(kTabMain), {262, 24, 50, 14},
                      "", kHidden};
  StaticControl 标签1{*this, "标签1", ControlKind::Label, Place::Tab(kTabMain), {38, 93, 63, 24},
                      "WiFi名称：", kDesignDefault};
  EditBox 编辑框名称{*this, "编辑框名称", ControlKind::EditBox, Place::Tab(kTabMain),
                     {110, 91, 210, 32}, "mylove", kDesignDefault};
  PictureControl 画板_问号{*this, "画板_问号", ControlKind::DrawPanel, Place::Tab(kTabMain),
                           {323, 121, 20, 20}, Picture::QuestionMark, kHandCursor};
  StaticControl 标签2{*this, "标签2", ControlKind::Label, Place::Tab(kTabMain), {67, 143, 34, 24},
                      "密码：", kDesignDefault};
  EditBox 编辑框密码{*this, "编辑框密码", ControlKind::EditBox, Place::Tab(kTabMain),
                     {110, 140, 210, 32}, "2468013579", kDesignDefault};
  CheckBox 选择框_显示密码{*this, "选择框_显示密码", ControlKind::CheckBox, Place::Tab(kTabMain),
                           {110, 176, 70, 16}, "显示密码", kTicked};
  Button 按钮开始{*this, "按钮开始", ControlKind::Button, Place::Tab(kTabMain), {172, 208, 86, 42},
                  "初始化中\r\n请稍后", kDisabled | kHandCursor};
  PictureControl 图片框状态{*this, "图片框状态", ControlKind::PictureBox, Place::Tab(kTabMain),
                            {113, 214, 40, 32}, Picture::StatusStopped, kDesignDefault};
  Hyperlink 超级链接框_重启{*this, "超级链接框_重启", ControlKind::Hyperlink, Place::Tab(kTabMain),
                            {264, 216, 52, 24}, "重启WiFi", kHidden};
  CheckBox 选择框关机{*this, "选择框关机", ControlKind::CheckBox, Place::Tab(kTabMain),
                      {7, 265, 81, 16}, "定时关机：", kDesignDefault};
  ComboBox 组合框_关机{*this, "组合框_关机", Place::Tab(kTabMain), {82, 264, 42, 20},
                       kEditable,
                       {"0.5", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}};
  StaticControl 标签定时{*this, "标签定时", ControlKind::Label, Place::Tab(kTabMain),
                         {129, 261, 30, 24}, "小时", kDesignDefault};
  StaticControl 标签关机{*this, "标签关机", ControlKind::Label, Place::Tab(kTabMain),
                         {161, 261, 172, 24}, "00时00分00秒后关机", kHidden};
  Button 按钮右下角{*this, "按钮右下角", ControlKind::Button, Place::Tab(kTabMain),
                    {337, 260, 82, 25}, "缩小到右下角", kDesignDefault};
  HtmlControl 超文本浏览框2{*this, "超文本浏览框2", ControlKind::HtmlBrowser, Place::Tab(kTabMain),
                            {393, 154, 100, 100}, "", kHidden};
  // Shown while the hotspot runs: opens the code a phone joins by.
  Button 按钮扫码{*this, "按钮扫码", ControlKind::Button, Place::Tab(kTabMain), {328, 143, 80, 28},
                  "扫码连接", kHidden | kHandCursor};
  TrayIcon 托盘图标1{*this, "托盘图标1"};
  BalloonTip 气球提示框1{*this, "气球提示框1"};
  Timer 时钟状态{*this, "时钟状态"};
  Timer 时钟_右下角灰动{*this, "时钟_右下角灰动"};
  Timer 时钟关机{*this, "时钟关机"};

  // Tab "管理用户".
  CheckBox 单选框黑{*this, "单选框黑", ControlKind::RadioButton, Place::Tab(kTabUsers),
                    {133, 26, 90, 15}, "黑名单模式", kDesignDefault};
  CheckBox 单选框白{*this, "单选框白", ControlKind::RadioButton, Place::Tab(kTabUsers),
                    {228, 26, 88, 15}, "白名单模式", kDesignDefault};
  StaticControl 分组框4{*this, "分组框4", ControlKind::GroupBox, Place::Tab(kTabUsers),
                        {14, 40, 400, 133}, "允许上网的用户↓", kDesignDefault};
  StaticControl 透明标签3{*this, "透明标签3", ControlKind::TransparentLabel, Place::In(分组框4),
                          {134, 10, 310, 18}, "右击鼠标拉入黑名单   双击可修改名称备注",
                          kDesignDefault};
  ListView 超级列表框1{*this, "超级列表框1", Place::In(分组框4), {0, 26, 400, 107},
                       {{"n", 20}, {"用户ip地址", 108}, {"用户硬件标识(mac)", 120},
                        {"设备名称", 130}}};
  ListView 超级列表框3{*this, "超级列表框3", Place::In(分组框4), {0, 26, 400, 107},
                       {{"用户硬件标识(mac)", 196}, {"设备名称", 196}}};
  StaticControl 分组框3{*this, "分组框3", ControlKind::GroupBox, Place::Tab(kTabUsers),
                        {14, 188, 400, 97}, "黑名单(右击鼠标取消黑名单)", kDesignDefault};
  ListView 超级列表框2{*this, "超级列表框2", Place::In(分组框3), {0, 17, 400, 80},
                       {{"", 0}, {"用户硬件标识(mac)", 196}, {"设备名称", 196}}};
  StaticControl 透明标签_白说明{
      *this, "透明标签_白说明", ControlKind::TransparentLabel, Place::Tab(kTabUsers),
      {14, 181, 400, 70},
      "[说明]：白名单模式相当于无线路由器的绑定mac功能，只允许绑定的设备\r\n\r\n"
      "        连网，列表为空表示禁止所有的用户，推荐使用黑名单模式即可。\r\n\r\n"
      "        添加白名单要从[黑名单模式]用户列表那里右击鼠标加入。",
      kDesignDefault};
  EditBox 编辑框设备{*this, "编辑框设备", ControlKind::EditBox, Place::Tab(kTabUsers),
                     {256, 166, 80, 13}, "", kHidden};
  EditBox 编辑框去除多个本地{*this, "编辑框去除多个本地", ControlKind::EditBox,
                             Place::Tab(kTabUsers), {370, 24, 200, 20}, "", kHidden};
  Timer 时钟_黑{*this, "时钟_黑"};
  Timer 时钟_白{*this, "时钟_白"};
  // The watch of the system's mobile hotspot while the program runs it.
  Timer 时钟_移动热点{*this, "时钟_移动热点"};

  // Tab "设置中心".
  StaticControl 分组框2{*this, "分组框2", ControlKind::GroupBox, Place::Tab(kTabSettings),
                        {14, 36, 400, 100}, "网络选择", kDesignDefault};
  StaticControl 标签5{*this, "标签5", ControlKind::Label, Place::In(分组框2), {9, 18, 114, 16},
                      "电脑连网方式(自动)：", kDesignDefault};
  ComboBox 组合框1{*this, "组合框1", Place::In(分组框2), {126, 16, 170, 20}, kEditable};
  Button 按钮查看连接{*this, "按钮查看连接", ControlKind::Button, Place::In(分组框2),
                      {306, 15, 61, 24}, "查看网卡", kHandCursor};
  CheckBox 选择框2{*this, "选择框2", ControlKind::CheckBox, Place::In(分组框2), {126, 43, 96, 16},
                   "记住这个网卡", kDesignDefault};
  StaticControl 标签14{*this, "标签14", ControlKind::Label, Place::In(分组框2), {45, 68, 77, 24},
                       "发射WiFi网卡：", kDesignDefault};
  EditBox 编辑框虚拟网卡{*this, "编辑框虚拟网卡", ControlKind::EditBox, Place::In(分组框2),
                         {126, 71, 170, 20}, "", kDisabled};
  StaticControl 分组框1{*this, "分组框1", ControlKind::GroupBox, Place::Tab(kTabSettings),
                        {14, 142, 400, 86}, "皮肤调色", kDesignDefault};
  Slider 滑块条色调{*this, "滑块条色调", Place::In(分组框1), {5, 26, 390, 40}, 0, 340};
  StaticControl 透明标签位置{*this, "透明标签位置", ControlKind::TransparentLabel,
                             Place::In(分组框1), {172, 9, 55, 20}, "", kDesignDefault};
  Button 按钮色调{*this, "按钮色调", ControlKind::Button, Place::In(分组框1), {160, 51, 80, 20},
                  "恢复默认", kHandCursor};
  StaticControl 分组框5{*this, "分组框5", ControlKind::GroupBox, Place::Tab(kTabSettings),
                        {14, 234, 400, 48}, "启动选项", kDesignDefault};
  CheckBox 选择框_启动{*this, "选择框_启动", ControlKind::CheckBox, Place::In(分组框5),
                       {10, 18, 145, 18}, "打开软件马上开启WiFi", kDesignDefault};
  CheckBox 选择框_开机启动{*this, "选择框_开机启动", ControlKind::CheckBox, Place::In(分组框5),
                           {270, 18, 99, 18}, "开机打开软件", kDesignDefault};
  PictureControl 画板_叹号{*this, "画板_叹号", ControlKind::DrawPanel, Place::In(分组框5),
                           {361, 17, 20, 21}, Picture::ExclamationMark, kHandCursor};
  // Above the groups, right of the first one's caption, where no control stands.
  CheckBox 选择框_新设备提醒{*this, "选择框_新设备提醒", ControlKind::CheckBox,
                             Place::Tab(kTabSettings), {280, 23, 124, 16}, "新设备连接时提醒",
                             kTicked};

  // Tab "流量统计".
  StaticControl 分组框6{*this, "分组框6", ControlKind::GroupBox, Place::Tab(kTabTraffic),
                        {14, 34, 400, 197}, "为您节省的的手机流量", kDesignDefault};
  PictureControl 图片框下载{*this, "图片框下载", ControlKind::PictureBox, Place::In(分组框6),
                            {7, 33, 33, 35}, Picture::Download, kDesignDefault};
  StaticControl 标签本次下载流量{*this, "标签本次下载流量", ControlKind::Label, Place::In(分组框6),
                                 {48, 40, 155, 20}, "0.00 MB", kDesignDefault};
  PictureControl 图片框上传{*this, "图片框上传", ControlKind::PictureBox, Place::In(分组框6),
                            {220, 33, 33, 35}, Picture::Upload, kDesignDefault};
  StaticControl 标签本次上传流量{*this, "标签本次上传流量", ControlKind::Label, Place::In(分组框6),
                                 {261, 40, 129, 20}, "0.00 MB", kDesignDefault};
  StaticControl 透明标签4{*this, "透明标签4", ControlKind::TransparentLabel, Place::In(分组框6),
                          {13, 89, 131, 20}, "本次为您节省手机流量：", kDesignDefault};
  StaticControl 标签本次总流量{*this, "标签本次总流量", ControlKind::Label, Place::In(分组框6),
                               {149, 90, 199, 20}, "0.00 MB", kDesignDefault};
  StaticControl 透明标签1{*this, "透明标签1", ControlKind::TransparentLabel, Place::In(分组框6),
                          {13, 123, 131, 20}, "大约为您节省的流量费：", kDesignDefault};
  StaticControl 标签本次总金额{*this, "标签本次总金额", ControlKind::Label, Place::In(分组框6),
                               {149, 125, 199, 20}, "0.00 元", kDesignDefault};
  CheckBox 选择框显示流量{*this, "选择框显示流量", ControlKind::CheckBox, Place::In(分组框6),
                          {13, 160, 210, 18}, "显示WiFi网速悬浮条", kDesignDefault};
  Timer 时钟流量统计{*this, "时钟流量统计"};

  // Tab "帮助信息".
  HtmlControl 简单超文本框1{*this, "简单超文本框1", ControlKind::SimpleHtmlBox,
                            Place::Tab(kTabHelp), {14, 42, 400, 240}, "", kDesignDefault};

  // Popup menus; never in a menu bar.
  Menu 菜单{*this, "菜单"};
  MenuItem 菜单_重启WiFi{*this, "菜单_重启WiFi", 菜单, "重启WiFi", kDisabled};
  MenuItem 菜单_官方网站{*this, "菜单_官方网站", 菜单, "官方网站", kDesignDefault};
  MenuItem 菜单_退出{*this, "菜单_退出", 菜单, "退出", kDesignDefault};
  Menu 加黑{*this, "加黑"};
  MenuItem 加黑_拉入黑名单{*this, "加黑_拉入黑名单", 加黑, "拉入黑名单", kDesignDefault};
  MenuItem 加黑_复制到白名单{*this, "加黑_复制到白名单", 加黑, "复制到白名单", kDesignDefault};
  Menu 取消黑{*this, "取消黑"};
  MenuItem 取消黑_取消黑名单{*this, "取消黑_取消黑名单", 取消黑, "取消黑名单", kDesignDefault};
  Menu 移白{*this, "移白"};
  MenuItem 移白_移出白名单{*this, "移白_移出白名单", 移白, "移出白名单", kDesignDefault};
};

// A borderless bar that floats over the other windows without a taskbar button, shaped
// and painted by its backdrop, dragged by its face; its figures are white.
struct SpeedBarWindow : WindowModel {
  SpeedBarWindow();

  // Covers the window and takes every mouse event of it.
  MouseLabel 透明标签1{*this, "透明标签1", ControlKind::TransparentLabel, Place::Window(),
                       {1, -6, 159, 30}, "", kDesignDefault};
  StaticControl 下载透明标签{*this, "下载透明标签", ControlKind::TransparentLabel,
                             Place::Window(), {18, 4, 55, 14}, "0.0KB/S", kDesignDefault};
  StaticControl 上传透明标签{*this, "上传透明标签", ControlKind::TransparentLabel,
                             Place::Window(), {94, 4, 55, 14}, "0.0KB/S", kDesignDefault};
  BalloonTip 气球提示框1{*this, "气球提示框1"};
  Timer 时钟流量{*this, "时钟流量"};
};

}  // namespace lumora::ui
