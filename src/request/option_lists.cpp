#include "request/option_lists.h"

#include <array>

namespace miaohui {

namespace {

constexpr std::array<std::string_view, 4> confessions{"嫁给我吧", "来娶我吧", "我爱你", "我喜欢你"};
constexpr std::array<std::string_view, 4> cities{"北京", "上海", "广州", "深圳"};
constexpr std::array<std::string_view, 6> cars{"宾利欧陆", "迈巴赫S600", "兰博基尼", "奥迪R8", "保时捷卡宴", "路虎揽胜"};
constexpr std::array<std::string_view, 6> awards{"吃屎能手",     "天下第一笨",   "拉屎冠军",
                                                 "最有女人味奖", "全球帅哥之一", "绝种好男人"};
constexpr std::array<std::string_view, 3> countries{"美国", "日本", "澳洲"};

constexpr std::array<OptionList, 5> lists{{
    {"组合框1", "楼宇表白内容：", confessions},
    {"组合框2", "房产证所在地：", cities},
    {"组合框3", "豪车提车生成：", cars},
    {"组合框4", "搞笑奖状生成：", awards},
    {"组合框5", "投资移民：", countries},
}};

}  // namespace

std::span<const OptionList> option_lists() { return lists; }

const OptionList* find_option_list(std::string_view name) {
  for (const auto& list : lists) {
    if (list.name == name) return &list;
  }
  return nullptr;
}

std::string_view option_item(const OptionList& list, long long number) {
  if (number < 1 || static_cast<unsigned long long>(number) > list.items.size()) return {};
  return list.items[static_cast<std::size_t>(number - 1)];
}

}  // namespace miaohui
