#pragma once

#include <QEvent>
#include <QWidget>
#include <string_view>

#include "app/designs.h"

class QCloseEvent;
class QKeyEvent;

namespace miaohui {

class WindowTable;

// A top-level window of the program. Its window table decides when it goes; the window only
// passes on close requests and the deferred destroy message.
class AppWindow : public QWidget {
  Q_OBJECT

 public:
  AppWindow(WindowTable& table, WindowId id);

  WindowId id() const { return id_; }
  WindowTable& table() const { return table_; }

  bool destroy_pending() const { return destroy_pending_; }
  void set_destroy_pending() { destroy_pending_ = true; }

  // The control of that name, or nullptr.
  template <class Widget>
  Widget* control(std::string_view name) const {
    return findChild<Widget*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                              Qt::FindDirectChildrenOnly);
  }

  // The private message that carries out a deferred destruction.
  static QEvent::Type destroy_event_type();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  WindowTable& table_;
  WindowId id_;
  bool destroy_pending_ = false;
};

}  // namespace miaohui
