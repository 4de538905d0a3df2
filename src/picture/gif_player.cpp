#include "picture/gif_player.h"

#include <QPainter>
#include <pthread.h>
#include <algorithm>
#include <chrono>
#include <system_error>

#include "picture/display_image.h"

namespace miaohui {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds wait_step{10};
constexpr int zero_delay_ms = 50;  // a step that gives no delay still waits, never spins

}  // namespace

GifPlayer::GifPlayer(std::unique_ptr<GifPlayback> gif, QRgb background,
                     std::function<void()> frame_ready)
    : gif_(std::move(gif)), background_(background), frame_ready_(std::move(frame_ready)) {
  if (!gif_ || gif_->width() <= 0 || gif_->height() <= 0) return;
  composed_ = QImage(gif_->width(), gif_->height(), QImage::Format_RGB32);
  if (!composed_.isNull()) composed_.fill(background_);
}

GifPlayer::~GifPlayer() { stop(); }

void GifPlayer::start() {
  if (started_ || !ok()) return;
  started_ = true;
  running_ = true;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error&) {
    running_ = false;  // no thread to be had: the box keeps showing its background
  }
}

void GifPlayer::stop() {
  stop_requested_ = true;
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

void GifPlayer::draw(QPainter& painter, const QRect& target) {
  std::lock_guard guard(lock_);
  if (has_frame_) painter.drawImage(target, composed_);
}

void GifPlayer::compose_next(int& delay_ms) {
  std::lock_guard guard(lock_);
  delay_ms = gif_->step();
  const Image& frame = gif_->composed();
  const auto expected = static_cast<std::size_t>(frame.width) * frame.height * 4;
  if (frame.width == composed_.width() && frame.height == composed_.height() &&
      frame.rgba.size() == expected) {
    blend_into(frame, background_, composed_);
    has_frame_ = true;
  }
}

// Sleeps in steps of 10 ms until `until`; false when a stop was requested meanwhile.
bool GifPlayer::wait_for(Clock::time_point until) const {
  while (!stop_requested_) {
    const auto now = Clock::now();
    if (now >= until) return true;
    std::this_thread::sleep_for(std::min<Clock::duration>(wait_step, until - now));
  }
  return false;
}

void GifPlayer::run() {
  // Named so that it can be told apart in a debugger, top or /proc.
  pthread_setname_np(pthread_self(), playback_thread_name);
  try {
    while (!stop_requested_) {
      const auto began = Clock::now();
      int delay_ms = 0;
      compose_next(delay_ms);
      if (stop_requested_) break;
      frame_ready_();
      if (delay_ms <= 0) delay_ms = zero_delay_ms;
      if (!wait_for(began + milliseconds(delay_ms))) break;
    }
  } catch (...) {
    // A step that cannot get its memory ends the animation; the last frame stays shown.
  }
  running_ = false;
}

}  // namespace miaohui
