// The GIF still picture and the playback model. Both read blocks in file order: a
// graphic-control block sets the delay, disposal and transparency for the images after it,
// every other extension is skipped, and an image is drawn onto a picture of the logical
// screen that starts out transparent.

#include <utility>
#include <vector>

#include "picture/decode.h"
#include "picture/gif_draw.h"
#include "picture/gif_parse.h"
#include "picture/image_util.h"

namespace miaohui {

namespace {

using detail::GifBlock;
using detail::GifBlockKind;
using detail::GifControl;
using detail::GifRect;
using detail::GifScreen;

constexpr int disposal_clear = 2;    // the area goes back to transparent
constexpr int disposal_restore = 3;  // the area goes back to what it was before the frame

int delay_ms(int hundredths) { return hundredths == 0 ? 50 : hundredths * 10; }

bool any_transparent(const Image& image) {
  for (std::size_t i = 3; i < image.rgba.size(); i += 4) {
    if (image.rgba[i] != 255) return true;
  }
  return false;
}

class GifPlayer final : public GifPlayback {
 public:
  GifPlayer(std::vector<std::uint8_t> bytes, const GifScreen& screen, int frames)
      : bytes_(std::move(bytes)),
        screen_(screen),
        frames_(frames),
        at_(screen.first_block),
        canvas_(detail::make_image(screen.width, screen.height)) {
    canvas_.has_alpha = true;
  }

  bool ready() const { return !canvas_.empty(); }

  int width() const override { return screen_.width; }
  int height() const override { return screen_.height; }
  int frame_count() const override { return frames_; }
  const Image& composed() const override { return canvas_; }

  int step() override {
    dispose_previous();
    bool wrapped = false;
    for (;;) {
      const GifBlock block = detail::read_gif_block(bytes_, at_);
      if (block.kind == GifBlockKind::trailer) {
        // Each pass starts afresh: the first frame has no frame before it to inherit from.
        if (wrapped) return delay_ms(control_.delay);
        wrapped = true;
        at_ = screen_.first_block;
        control_ = GifControl{};
        continue;
      }
      at_ = block.end;
      switch (block.kind) {
        case GifBlockKind::control:
          control_ = block.control;
          break;
        case GifBlockKind::other_extension:
          break;
        case GifBlockKind::damaged:
          return delay_ms(control_.delay);
        case GifBlockKind::image:
          draw(block);
          return delay_ms(control_.delay);
        case GifBlockKind::trailer:
          break;
      }
    }
  }

 private:
  void dispose_previous() {
    if (previous_disposal_ == disposal_clear) detail::clear_area(canvas_, previous_area_);
    if (previous_disposal_ == disposal_restore) {
      detail::restore_area(canvas_, previous_area_, saved_);
    }
    previous_disposal_ = 0;
  }

  void draw(const GifBlock& block) {
    const int disposal = control_.disposal;
    control_.disposal = 0;  // a disposal belongs to one frame; delay and transparency carry on
    const bool save = disposal == disposal_restore;
    if (!drawer_.draw(bytes_, screen_, block.image, control_.transparent, canvas_,
                      save ? &saved_ : nullptr)) {
      return;
    }
    previous_disposal_ = disposal;
    previous_area_ = detail::visible_part(block.image, screen_.width, screen_.height);
  }

  std::vector<std::uint8_t> bytes_;
  GifScreen screen_;
  int frames_ = 0;
  std::size_t at_ = 0;  // the next block to read
  GifControl control_;
  int previous_disposal_ = 0;
  GifRect previous_area_;
  std::vector<std::uint8_t> saved_;
  Image canvas_;
  detail::GifFrameDrawer drawer_;
};

}  // namespace

Image decode_gif_still(std::span<const std::uint8_t> bytes) {
  const auto screen = detail::read_gif_screen(bytes);
  if (!screen) return {};
  GifControl control;
  for (std::size_t at = screen->first_block;;) {
    const GifBlock block = detail::read_gif_block(bytes, at);
    at = block.end;
    switch (block.kind) {
      case GifBlockKind::control:
        control = block.control;
        break;
      case GifBlockKind::other_extension:
        break;
      case GifBlockKind::trailer:
      case GifBlockKind::damaged:
        return {};  // no frame to show
      case GifBlockKind::image: {
        Image canvas = detail::make_image(screen->width, screen->height);
        if (canvas.empty()) return {};
        detail::GifFrameDrawer drawer;
        if (!drawer.draw(bytes, *screen, block.image, control.transparent, canvas, nullptr)) {
          return {};
        }
        canvas.has_alpha = any_transparent(canvas);
        return canvas;
      }
    }
  }
}

std::unique_ptr<GifPlayback> GifPlayback::open(std::span<const std::uint8_t> bytes) {
  const auto screen = detail::read_gif_screen(bytes);
  if (!screen) return nullptr;
  const int frames = detail::count_gif_images(bytes, *screen);
  if (frames < 2) return nullptr;
  auto player = std::make_unique<GifPlayer>(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                            *screen, frames);
  if (!player->ready()) return nullptr;
  return player;
}

}  // namespace miaohui
