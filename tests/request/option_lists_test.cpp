#include "request/option_lists.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "request/picture_kind.h"

namespace miaohui {
namespace {

struct ExpectedList {
  std::string name, label;
  std::vector<std::string> items;
};

// The lists as the main window shows them, written out independently of the code.
const ExpectedList expected_lists[] = {
    {"组合框1", "楼宇表白内容：", {"嫁给我吧", "来娶我吧", "我爱你", "我喜欢你"}},
    {"组合框2", "房产证所在地：", {"北京", "上海", "广州", "深圳"}},
    {"组合框3", "豪车提车生成：", {"宾利欧陆", "迈巴赫S600", "兰博基尼", "奥迪R8", "保时捷卡宴", "路虎揽胜"}},
    {"组合框4", "搞笑奖状生成：", {"吃屎能手", "天下第一笨", "拉屎冠军", "最有女人味奖", "全球帅哥之一", "绝种好男人"}},
    {"组合框5", "投资移民：", {"美国", "日本", "澳洲"}},
};

TEST(OptionLists, HoldTheFiveListsByteForByte) {
  ASSERT_EQ(option_lists().size(), std::size(expected_lists));
  for (const auto& want : expected_lists) {
    SCOPED_TRACE(want.name);
    const OptionList* list = find_option_list(want.name);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->label, want.label);
    ASSERT_EQ(list->items.size(), want.items.size());
    for (std::size_t i = 0; i < want.items.size(); ++i) EXPECT_EQ(list->items[i], want.items[i]);
  }
  EXPECT_EQ(find_option_list("组合框6"), nullptr);
  EXPECT_EQ(find_option_list(""), nullptr);
}

TEST(OptionLists, EveryKindWithAListNamesOneOfThem) {
  for (const auto& kind : picture_kinds()) {
    if (kind.has_option_list()) {
      EXPECT_NE(find_option_list(kind.option_list), nullptr) << kind.button;
    }
  }
}

TEST(OptionLists, OptionNumberOneIsTheFirstItemAndOthersOutsideAreEmpty) {
  const OptionList& cars = *find_option_list("组合框3");
  EXPECT_EQ(option_item(cars, 1), "宾利欧陆");
  EXPECT_EQ(option_item(cars, 3), "兰博基尼");
  EXPECT_EQ(option_item(cars, 6), "路虎揽胜");
  for (long long outside : {0LL, 7LL, -1LL, LLONG_MIN, LLONG_MAX}) {
    EXPECT_TRUE(option_item(cars, outside).empty()) << outside;
  }
}

}  // namespace
}  // namespace miaohui
