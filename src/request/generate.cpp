#include "request/generate.h"

#include "request/request_url.h"

namespace miaohui {

void generate_picture(const PictureKind& kind, PictureControls& controls) {
  const int index = kind.has_option_list() ? controls.selected_index(kind.option_list) : -1;
  const std::string url = build_request_url(kind, controls.name_text(), index);
  controls.set_picture(controls.download(url));
}

}  // namespace miaohui
