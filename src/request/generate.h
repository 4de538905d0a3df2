#pragma once

#include <string>
#include <string_view>

#include "common/bytes.h"
#include "request/picture_kind.h"

namespace miaohui {

// What the generate action needs of the main window, kept free of any toolkit.
class PictureControls {
 public:
  virtual ~PictureControls() = default;
  virtual std::string name_text() = 0;                          // text of 姓名
  virtual int selected_index(std::string_view list) = 0;         // -1 when nothing is selected
  virtual Bytes download(const std::string& url) = 0;            // one GET; empty on failure
  virtual void set_picture(Bytes bytes) = 0;                     // into 图片框1
};

// One click of a picture kind: read the list and the name, build the URL, download it and
// write whatever came back (also nothing) into the picture box.
void generate_picture(const PictureKind& kind, PictureControls& controls);

}  // namespace miaohui
