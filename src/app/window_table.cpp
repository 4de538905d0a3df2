#include "app/window_table.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "app/actions.h"
#include "app/app_window.h"
#include "app/fatal_error.h"
#include "app/window_builder.h"
#include "picture/waiting.h"

namespace miaohui {

void WindowTable::LaterDelete::operator()(QObject* object) const {
  // The window may be in the middle of one of its own handlers (a close request, the
  // private message, a click): it is deleted once control is back in the loop.
  object->deleteLater();
}

WindowTable::WindowTable() {
  entry(WindowId::welcome).design = &welcome_design();
  entry(WindowId::main).design = &main_design();
}

WindowTable::~WindowTable() {
  for (auto& e : entries_) {
    if (e.window) {
      e.window->hide();
      e.window.reset();
    }
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

AppWindow* WindowTable::window(WindowId id) const { return entry(id).window.get(); }

bool WindowTable::any_alive() const {
  for (const auto& e : entries_) {
    if (e.window) return true;
  }
  return false;
}

bool WindowTable::load_window(WindowId id) {
  Entry& e = entry(id);
  if (e.window && !e.window->destroy_pending()) {
    if (e.window->isMinimized()) {
      e.window->showNormal();
    } else {
      e.window->raise();
      e.window->activateWindow();
    }
    return true;
  }
  if (e.window) destroy_now(id);

  std::unique_ptr<AppWindow> built = build_window(*e.design, *this, id);
  if (!built) return false;
  bind_actions(*built);
  e.window.reset(built.release());
  e.held = false;
  e.window->show();
  e.window->raise();
  e.window->activateWindow();
  return true;
}

void WindowTable::destroy_window(WindowId id) {
  AppWindow* w = window(id);
  if (w == nullptr) fatal_error("指定窗口或窗口组件不存在或尚未载入", 0);
  w->set_destroy_pending();
  QCoreApplication::postEvent(w, std::make_unique<QEvent>(AppWindow::destroy_event_type()).release());
}

bool WindowTable::destroy_requested(const AppWindow& window) {
  const WindowId id = window.id();
  Entry& e = entry(id);
  if (e.window.get() != &window) return true;
  if (is_waiting()) {
    e.held = true;
    return false;
  }
  destroy_now(id);
  return true;
}

void WindowTable::carry_out_held() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].held) {
      entries_[i].held = false;
      if (entries_[i].window) destroy_now(static_cast<WindowId>(i));
    }
  }
}

void WindowTable::destroy_now(WindowId id) {
  Entry& e = entry(id);
  e.held = false;
  e.window->hide();
  e.window.reset();
  // End of a window: when it was the last one and the loop runs, the loop ends.
  if (!any_alive() && loop_started_) QCoreApplication::exit(0);
}

void WindowTable::message_loop() {
  loop_started_ = true;
  if (!any_alive()) return;
  QApplication::exec();
}

void WindowTable::enter_main_window() {
  load_window(WindowId::main);
  destroy_window(WindowId::welcome);
}

}  // namespace miaohui
