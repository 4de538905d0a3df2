#include "request/option_lists.h"

#include <array>

namespace miaohui {

namespace {

constexpr std::array<OptionList, 5> lists{{
    {"组合框1", "楼宇表白内容：", confession_items},
    {"组合框2", "房产证所在地：", city_items},
    {"组合框3", "豪车提车生成：", car_items},
    {"组合框4", "搞笑奖状生成：", award_items},
    {"组合框5", "投资移民：", country_items},
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
