#pragma once

#include <QFrame>
#include <cstdint>
#include <memory>

#include "common/bytes.h"

namespace miaohui {

// How a picture box looks, from a window design.
struct PictureBoxSettings {
  int border_style = 0;              // 0 none, 1 sunken, 2 raised, 3 shallow sunken, 4 framed, 5 single line
  std::uint32_t background = 0xFF000000;  // 0x00BBGGRR, or 0xFF000000 for the button face
  int display_mode = 1;              // 0 natural, 1 stretch, 2 fit without enlarging, 3 resize to picture
  bool animate = true;               // a GIF of several frames plays
  Bytes initial;                     // picture at creation
};

// The picture box: keeps an exact copy of the bytes written to it, decodes them once and
// paints the result by its display mode; an animated GIF plays on a thread of its own.
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  explicit PictureBox(const PictureBoxSettings& settings = {}, QWidget* parent = nullptr);
  ~PictureBox() override;

  // Replaces the picture. Stops a playing animation first, waiting for its thread.
  void set_picture(Bytes bytes);
  // Exactly the last bytes written, decodable or not.
  const Bytes& get_picture() const;

  bool is_playing() const;  // the playback thread is running

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct State;
  void stop_playback();

  std::unique_ptr<State> state_;
};

}  // namespace miaohui
