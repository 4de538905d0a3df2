#pragma once

#include <array>
#include <memory>

#include "app/designs.h"

class QObject;

namespace miaohui {

class AppWindow;

// The program's windows: one entry a design, holding its live window or none. The process
// runs while a window is alive; the destruction of the last one, once the loop has started,
// ends the loop.
class WindowTable {
 public:
  WindowTable();
  ~WindowTable();
  WindowTable(const WindowTable&) = delete;
  WindowTable& operator=(const WindowTable&) = delete;

  // Brings a live window forward, or creates and shows the design's window. True when the
  // window is alive on return.
  bool load_window(WindowId id);

  // Marks the window and posts it the private message that destroys it once the running
  // handler has returned. A window that is not loaded is a fatal error.
  void destroy_window(WindowId id);

  // Runs the event loop while a window is alive; returns at once when none is.
  void message_loop();

  // The welcome window's enter action: the main window first, then the welcome window goes.
  void enter_main_window();

  AppWindow* window(WindowId id) const;
  bool alive(WindowId id) const { return window(id) != nullptr; }
  bool any_alive() const;
  bool loop_started() const { return loop_started_; }

  // A close request or the private message of that window: destroys it now, or holds the
  // request while an action waits for a download. True when the window is gone. A window
  // that the table no longer holds (replaced by a new one of its design) is already gone.
  bool destroy_requested(const AppWindow& window);

  // Carries out the requests held during an action; called when an action returns.
  void carry_out_held();

 private:
  struct LaterDelete {
    void operator()(QObject* object) const;
  };
  struct Entry {
    const WindowDesign* design = nullptr;
    std::unique_ptr<AppWindow, LaterDelete> window;
    bool held = false;
  };

  Entry& entry(WindowId id) { return entries_[static_cast<std::size_t>(id)]; }
  const Entry& entry(WindowId id) const { return entries_[static_cast<std::size_t>(id)]; }
  void destroy_now(WindowId id);

  std::array<Entry, 2> entries_;
  bool loop_started_ = false;
};

}  // namespace miaohui
