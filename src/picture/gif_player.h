#pragma once

// Plays an animated GIF on a thread of its own. The thread steps the playback model, blends
// the composed picture over the background into an opaque picture under the playback lock,
// and tells its owner a frame is ready; painting draws that picture under the same lock.

#include <QImage>
#include <QRect>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "picture/decode.h"

class QPainter;

namespace miaohui {

// The playback thread's name, as the system shows it.
inline constexpr char playback_thread_name[] = "gif-playback";

class GifPlayer {
 public:
  // frame_ready runs on the playback thread after each composed frame; it must be safe to
  // call from there (post to the UI thread, do not paint).
  GifPlayer(std::unique_ptr<GifPlayback> gif, QRgb background, std::function<void()> frame_ready);
  ~GifPlayer();  // stops the thread and waits for it

  GifPlayer(const GifPlayer&) = delete;
  GifPlayer& operator=(const GifPlayer&) = delete;

  bool ok() const { return !composed_.isNull(); }  // false when memory could not be had
  QSize size() const { return composed_.size(); }  // the logical screen

  // Starts the thread; later calls do nothing.
  void start();
  // Asks the thread to stop and waits until it has.
  void stop();

  bool started() const { return started_; }
  bool running() const { return running_.load(); }

  // Draws the composed picture into target under the playback lock; nothing before the
  // first frame has been composed.
  void draw(QPainter& painter, const QRect& target);

 private:
  void run();
  void compose_next(int& delay_ms);
  bool wait_for(std::chrono::steady_clock::time_point until) const;

  std::unique_ptr<GifPlayback> gif_;
  QRgb background_;
  std::function<void()> frame_ready_;

  std::mutex lock_;         // the playback lock: guards gif_, composed_, has_frame_
  QImage composed_;         // opaque, logical-screen size
  bool has_frame_ = false;

  std::atomic<bool> stop_requested_{false};
  std::atomic<bool> running_{false};
  bool started_ = false;    // UI thread only
  std::thread thread_;
};

}  // namespace miaohui
