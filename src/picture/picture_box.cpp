#include "picture/picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <atomic>
#include <new>

#include "picture/decode.h"
#include "picture/display_image.h"
#include "picture/gif_player.h"
#include "picture/placement.h"

namespace miaohui {

namespace {

// Border styles 0-5 as Qt frames: none, sunken client edge (2 px), raised dialog frame
// (2 px), shallow sunken static edge (1 px), client edge with dialog frame (4 px), single line.
void apply_border(QFrame& frame, int style) {
  switch (style) {
    case 1:
      frame.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
      break;
    case 2:
      frame.setFrameStyle(QFrame::WinPanel | QFrame::Raised);
      break;
    case 3:
      frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
      frame.setLineWidth(1);
      break;
    case 4:
      frame.setFrameStyle(QFrame::Box | QFrame::Raised);
      frame.setLineWidth(1);
      frame.setMidLineWidth(2);
      break;
    case 5:
      frame.setFrameStyle(QFrame::Box | QFrame::Plain);
      frame.setLineWidth(1);
      break;
    default:
      frame.setFrameStyle(QFrame::NoFrame);
      break;
  }
}

}  // namespace

struct PictureBox::State {
  std::uint32_t background_setting = button_face_marker;
  int display_mode = 1;
  bool animate = true;

  QRgb background = 0;
  Bytes bytes;                        // exactly what was written last
  QImage still;                       // every picture but an animated GIF, opaque
  std::unique_ptr<GifPlayer> player;  // an animated GIF
  // Set by the playback thread when it has posted a repaint the UI thread has not run yet,
  // so that a busy UI thread does not collect one queued call per frame.
  std::atomic<bool> repaint_posted{false};
};

PictureBox::PictureBox(const PictureBoxSettings& settings, QWidget* parent)
    : QFrame(parent), state_(std::make_unique<State>()) {
  state_->background_setting = settings.background;
  state_->display_mode = settings.display_mode;
  state_->animate = settings.animate;
  state_->background = background_rgb(settings.background);
  apply_border(*this, settings.border_style);
  if (!settings.initial.empty()) set_picture(settings.initial);
}

PictureBox::~PictureBox() { stop_playback(); }

const Bytes& PictureBox::get_picture() const { return state_->bytes; }

bool PictureBox::is_playing() const { return state_->player && state_->player->running(); }

void PictureBox::stop_playback() {
  if (state_->player) state_->player->stop();
}

void PictureBox::set_picture(Bytes bytes) {
  State& s = *state_;
  s.bytes = std::move(bytes);
  stop_playback();
  s.player.reset();
  s.still = QImage();
  s.background = background_rgb(s.background_setting);
  if (s.bytes.empty()) {
    update();
    return;
  }

  QSize picture_size;
  try {
    DecodedPicture decoded = decode_picture(s.bytes, s.animate);
    if (decoded.playback) {
      State* shared = &s;
      auto frame_ready = [this, shared] {
        if (shared->repaint_posted.exchange(true)) return;
        QMetaObject::invokeMethod(
            this,
            [this, shared] {
              shared->repaint_posted = false;
              update();
            },
            Qt::QueuedConnection);
      };
      auto player = std::make_unique<GifPlayer>(std::move(decoded.playback), s.background,
                                                std::move(frame_ready));
      if (player->ok()) {
        picture_size = player->size();
        s.player = std::move(player);
      }
    } else {
      s.still = make_display_image(decoded.still, s.background);
      picture_size = s.still.size();
    }
  } catch (const std::bad_alloc&) {
    // No memory for the picture: the bytes stay kept and the box shows its background.
    s.player.reset();
    s.still = QImage();
    picture_size = {};
  }

  if (s.display_mode == 3 && !picture_size.isEmpty()) {
    resize(picture_size + (size() - contentsRect().size()));
  }
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  State& s = *state_;
  QPainter painter(this);
  const QRect client = contentsRect();
  painter.fillRect(client, QColor(s.background));
  painter.setClipRect(client);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);

  if (s.player) {
    // The first paint after the picture was written starts the animation and shows only
    // the background; the thread asks for the paints that show its frames.
    if (!s.player->started()) {
      s.player->start();
    } else {
      s.player->draw(painter, place_picture(s.display_mode, client, s.player->size()));
    }
  } else if (!s.still.isNull()) {
    painter.drawImage(place_picture(s.display_mode, client, s.still.size()), s.still);
  }

  painter.setClipping(false);
  drawFrame(&painter);
}

}  // namespace miaohui
