#include "request/picture_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace miaohui {
namespace {

using enum HostSlot;

struct ExpectedKind {
  std::string button, caption;
  HostSlot host;
  std::string head, option_list, middle, tail;
};

// The kind table as the program's users see it, written out independently of the code.
const ExpectedKind expected_kinds[] = {
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
};

TEST(PictureKinds, TableHoldsTheFifteenKindsByteForByte) {
  const auto kinds = picture_kinds();
  ASSERT_EQ(kinds.size(), std::size(expected_kinds));
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const auto& want = expected_kinds[i];
    const auto& got = kinds[i];
    SCOPED_TRACE(want.button);
    EXPECT_EQ(got.button, want.button);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.host, want.host);
    EXPECT_EQ(got.head, want.head);
    EXPECT_EQ(got.option_list, want.option_list);
    EXPECT_EQ(got.middle, want.middle);
    EXPECT_EQ(got.tail, want.tail);
  }
}

TEST(PictureKinds, FoundByButtonAndOnlyForPictureKinds) {
  for (const auto& want : expected_kinds) {
    const PictureKind* kind = find_picture_kind(want.button);
    ASSERT_NE(kind, nullptr) << want.button;
    EXPECT_EQ(kind->button, want.button);
  }
  for (const char* other : {"按钮7", "按钮17", "按钮18", "按钮0", "", "姓名"}) {
    EXPECT_EQ(find_picture_kind(other), nullptr) << other;
  }
}

TEST(PictureKinds, HostSlotsResolveToTheConfiguredValues) {
  EXPECT_EQ(host_value(a), "host-a.test");
  EXPECT_EQ(host_value(b), "host-b.test:8080");
  EXPECT_EQ(host_value(c), "host-c.test");
  EXPECT_EQ(host_value(d), "host-d.test");
  EXPECT_EQ(host_value(e), "host-e.test");
  EXPECT_EQ(host_value(f), "host-f.test:81");
  EXPECT_EQ(host_value(g), "host-g.test");
}

}  // namespace
}  // namespace miaohui
