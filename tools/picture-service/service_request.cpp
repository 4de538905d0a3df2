#include "service_request.h"

#include <algorithm>

namespace miaohui {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool same_shape(const PictureKind& a, const PictureKind& b) {
  return a.head == b.head && a.has_option_list() == b.has_option_list() && a.middle == b.middle &&
         a.tail == b.tail;
}

std::optional<ServiceRequest> read_as(const PictureKind& kind, std::string_view target) {
  if (!target.starts_with(kind.head)) return std::nullopt;
  std::string_view rest = target.substr(kind.head.size());
  ServiceRequest request;
  if (kind.has_option_list()) {
    const std::size_t middle = rest.find(kind.middle);
    if (middle == std::string_view::npos) return std::nullopt;
    request.option = std::string(rest.substr(0, middle));
    rest.remove_prefix(middle + kind.middle.size());
  }
  if (!kind.tail.empty() && rest.ends_with(kind.tail)) rest.remove_suffix(kind.tail.size());
  request.name = percent_decode(rest);
  request.kinds.push_back(&kind);
  return request;
}

}  // namespace

std::optional<ServiceRequest> read_request_target(std::string_view target) {
  std::optional<ServiceRequest> found;
  for (const auto& kind : picture_kinds()) {
    if (found) {
      if (same_shape(*found->kinds.front(), kind) && read_as(kind, target)) found->kinds.push_back(&kind);
    } else {
      found = read_as(kind, target);
    }
  }
  return found;
}

std::string percent_decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 && hex_value(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string describe_option(const OptionList& list, std::string_view option) {
  if (option.empty()) return "（未给出）";
  if (!std::all_of(option.begin(), option.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return "“" + percent_decode(option) + "”（不是选项号）";
  }
  // Leading zeros aside, more than 18 digits lie past any list.
  const std::size_t first = std::min(option.find_first_not_of('0'), option.size());
  const std::string_view digits = option.substr(first);
  if (digits.empty()) return std::string(option) + "（未选择）";
  long long number = -1;
  if (digits.size() <= 18) {
    number = 0;
    for (char c : digits) number = number * 10 + (c - '0');
  }
  const std::string_view item = option_item(list, number);
  if (item.empty()) return std::string(option) + "（列表中没有此项）";
  return std::string(item);
}

}  // namespace miaohui
