#include "app/designs.h"

#include <array>

#include "request/option_lists.h"

namespace miaohui {

namespace {

using enum ControlKind;

constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t blue = 0xFF0000;

constexpr LabelLook left_line(std::uint32_t colour, int pixel_height) {
  return {colour, pixel_height, false, LabelLines::single_centred};
}

// ---- welcome window ----

constexpr std::array<ControlRow, 6> welcome_controls{{
    {"按钮3", push_button, {232, 144, 88, 40}, "进入装逼", {}, {}},
    {"按钮2", push_button, {136, 144, 88, 40}, "联系墨汀", {}, {}},
    {"透明标签3", transparent_label, {72, 104, 208, 16}, "加群没反应请多加几次，或者联系墨汀", {},
     left_line(black, 0)},
    {"按钮1", push_button, {40, 144, 88, 40}, "点击加群", {}, {}},
    {"透明标签2", transparent_label, {48, 56, 248, 40}, "每天更新撸 现金 零食 实物 红包 流量等活动", {},
     left_line(red, 20)},
    {"透明标签1", transparent_label, {-32, 8, 368, 48},
     "    欢迎加入墨汀线报群号码：946018257 \r\n\r\n\r\n\r\n\r\n\r\n\r\n", {}, left_line(red, 20)},
}};

constexpr WindowDesign welcome{
    {"墨汀qq3816059471", {354, 235}, {348, 209}, 50, 50, Placement::stored_place, true, true},
    welcome_controls};

// ---- main window ----

// The drop-down lists take their items from the option lists the picture kinds send.

constexpr std::array<ControlRow, 32> main_controls{{
    {"按钮18", push_button, {688, 496, 88, 32}, "联系墨汀", {}, {}},
    {"组合框5", drop_down_list, {672, 152, 104, 20}, "", country_items, {}},
    {"透明标签8", transparent_label, {592, 152, 72, 24}, "投资移民：", {}, left_line(black, 12)},
    {"按钮17", push_button, {688, 296, 88, 32}, "房产协议生成", {}, {}},
    {"按钮16", push_button, {592, 296, 88, 32}, "挖掘机认购单", {}, {}},
    {"按钮15", push_button, {592, 256, 88, 32}, "房产协议生成", {}, {}},
    {"按钮14", push_button, {688, 216, 88, 32}, "搞笑奖状生成", {}, {}},
    {"组合框4", drop_down_list, {672, 128, 104, 20}, "", award_items, {}},
    {"透明标签7", transparent_label, {592, 128, 72, 24}, "搞笑奖状生成：", {}, left_line(black, 12)},
    {"组合框3", drop_down_list, {672, 104, 104, 20}, "", car_items, {}},
    {"透明标签6", transparent_label, {592, 104, 72, 24}, "豪车提车生成：", {}, left_line(red, 12)},
    {"按钮13", push_button, {592, 216, 88, 32}, "豪车提车生成", {}, {}},
    {"按钮12", push_button, {688, 176, 88, 32}, "房产证", {}, {}},
    {"组合框2", drop_down_list, {672, 80, 104, 20}, "", city_items, {}},
    {"透明标签5", transparent_label, {592, 80, 72, 24}, "房产证所在地：", {}, left_line(black, 12)},
    {"透明标签4", transparent_label, {592, 56, 72, 24}, "楼宇表白内容：", {}, left_line(black, 12)},
    {"组合框1", drop_down_list, {672, 56, 104, 20}, "", confession_items, {}},
    {"按钮11", push_button, {688, 456, 88, 32}, "飞机员驾驶证", {}, {}},
    {"按钮10", push_button, {688, 256, 88, 32}, "投资移民生成", {}, {}},
    {"按钮9", push_button, {688, 336, 88, 32}, "保时捷订单", {}, {}},
    {"按钮8", push_button, {592, 176, 88, 32}, "楼宇表白", {}, {}},
    {"透明标签2", transparent_label, {576, 544, 216, 24}, "保存的图片会自动保存到桌面", {},
     {blue, 16, true, LabelLines::wrap_from_top}},
    {"按钮7", push_button, {592, 496, 88, 32}, "保存", {}, {}},
    {"按钮6", push_button, {688, 416, 88, 32}, "帅哥表白", {}, {}},
    {"按钮5", push_button, {592, 456, 88, 32}, "美女表白", {}, {}},
    {"按钮4", push_button, {688, 376, 88, 32}, "奔驰订单", {}, {}},
    {"按钮3", push_button, {592, 376, 88, 32}, "卡宴订单", {}, {}},
    {"透明标签1", transparent_label, {584, 24, 40, 32}, "姓名：", {}, left_line(black, 14)},
    {"按钮2", push_button, {592, 416, 88, 32}, "法拉利订单", {}, {}},
    {"按钮1", push_button, {592, 336, 88, 32}, "金矿许可证", {}, {}},
    {"姓名", edit_box, {632, 24, 144, 24}, "墨汀QQ3816059471", {}, {}},
    {"图片框1", picture_box, {8, 8, 576, 544}, "", {}, {}},
}};

constexpr WindowDesign main_window{
    {"妙绘工坊 墨汀QQ3816059471", {789, 598}, {783, 572}, 50, 50, Placement::centred, false, false},
    main_controls};

}  // namespace

const WindowDesign& welcome_design() { return welcome; }
const WindowDesign& main_design() { return main_window; }

const WindowDesign& design_of(WindowId id) { return id == WindowId::welcome ? welcome : main_window; }

}  // namespace miaohui
