#include "request/picture_kind.h"

#include <array>

#include "config/host_slots.h"

namespace miaohui {

namespace {

using enum HostSlot;

// button, caption, host, head, option list, middle, tail
constexpr std::array<PictureKind, 15> kinds{{
    {"按钮1", "金矿许可证", b, "/jk/toutu.php?id=&name=", "", "", ""},
    {"按钮2", "法拉利订单", b, "/fll/toutu.php?id=&name=", "", "", ""},
    {"按钮3", "卡宴订单", b, "/bsj/toutu.php?id=&name=", "", "", ""},
    {"按钮4", "奔驰订单", a, "/bc/toutu.php?id=&name=", "", "", ""},
    {"按钮5", "美女表白", d, "/bb/toutu.php?id=1&name=", "", "", ""},
    {"按钮6", "帅哥表白", d, "/bb/toutu.php?id=&name=", "", "", ""},
    {"按钮8", "楼宇表白", c, "/zb/ly/toutu.php?id=", "组合框1", "&name=", ""},
    {"按钮9", "保时捷订单", e, "/918/w.php?username=", "", "", ""},
    {"按钮10", "投资移民生成", c, "/zb/ym/toutu.php?id=", "组合框5", "&name=", ""},
    {"按钮11", "飞机员驾驶证", g, "/php/watermark/airlin.php?str=", "", "", "&floor=5&num=4082617395"},
    {"按钮12", "房产证", c, "/zb/fc/toutu.php?id=", "组合框2", "&name=", ""},
    {"按钮13", "豪车提车生成", c, "/zb/fc/toutu.php?id=", "组合框3", "&name=", ""},
    {"按钮14", "搞笑奖状生成", f, "/paper/award/img.php?txt1=txt1-", "组合框4", "&txt2=", ""},
    {"按钮15", "房产协议生成", b, "/fcz/toutu.php?id=&name=", "组合框1", "&name=", ""},
    {"按钮16", "挖掘机认购单", b, "/wjj/toutu.php?id=&name=", "组合框1", "&name=", ""},
}};

}  // namespace

std::string_view host_value(HostSlot slot) {
  switch (slot) {
    case a: return host_a;
    case b: return host_b;
    case c: return host_c;
    case d: return host_d;
    case e: return host_e;
    case f: return host_f;
    case g: return host_g;
  }
  return {};
}

std::span<const PictureKind> picture_kinds() { return kinds; }

const PictureKind* find_picture_kind(std::string_view button) {
  for (const auto& kind : kinds) {
    if (kind.button == button) return &kind;
  }
  return nullptr;
}

}  // namespace miaohui
