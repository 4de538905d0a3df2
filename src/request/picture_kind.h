#pragma once

#include <span>
#include <string_view>

namespace miaohui {

// Which configured picture service a kind asks.
enum class HostSlot { a, b, c, d, e, f, g };

// The configured "host[:port]" of a slot.
std::string_view host_value(HostSlot slot);

// One picture kind: the fixed recipe for its request URL.
struct PictureKind {
  std::string_view button;       // the kind's button in the main window, e.g. "按钮13"
  std::string_view caption;      // the button's caption
  HostSlot host;
  std::string_view head;         // path and start of the query, after the host
  std::string_view option_list;  // drop-down list whose selection is sent; empty for none
  std::string_view middle;       // between the option number and the name (kinds with a list)
  std::string_view tail;         // after the name

  bool has_option_list() const { return !option_list.empty(); }
};

// The fifteen kinds, in the order of their buttons.
std::span<const PictureKind> picture_kinds();

// The kind bound to a button, or nullptr when the button is no picture kind.
const PictureKind* find_picture_kind(std::string_view button);

}  // namespace miaohui
