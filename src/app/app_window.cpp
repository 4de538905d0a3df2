#include "app/app_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "app/window_table.h"

namespace miaohui {

AppWindow::AppWindow(WindowTable& table, WindowId id) : QWidget(nullptr), table_(table), id_(id) {}

QEvent::Type AppWindow::destroy_event_type() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 0x65));
  return type;
}

bool AppWindow::event(QEvent* event) {
  if (event->type() == destroy_event_type()) {
    // A stray message, or one whose destruction was carried out otherwise, does nothing.
    if (destroy_pending_) {
      destroy_pending_ = false;
      table_.destroy_requested(*this);
    }
    return true;
  }
  return QWidget::event(event);
}

void AppWindow::closeEvent(QCloseEvent* event) {
  // No confirmation: the window goes at once, or right after a running action.
  if (table_.destroy_requested(*this)) {
    event->accept();
  } else {
    event->ignore();
  }
}

void AppWindow::keyPressEvent(QKeyEvent* event) {
  // Reached when the focused control does not take the key itself.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace miaohui
