#include "picture/waiting.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <exception>
#include <thread>

namespace miaohui {

namespace {

std::atomic<bool> waiting{false};

// The busy cursor for as long as it lives; nothing without a QApplication.
class BusyCursor {
 public:
  BusyCursor() : shown_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_) QApplication::setOverrideCursor(Qt::BusyCursor);
  }
  ~BusyCursor() {
    if (shown_) QApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool shown_;
};

class WaitingFlag {
 public:
  WaitingFlag() { waiting = true; }
  ~WaitingFlag() { waiting = false; }
  WaitingFlag(const WaitingFlag&) = delete;
  WaitingFlag& operator=(const WaitingFlag&) = delete;
};

bool on_ui_thread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

bool is_waiting() { return waiting; }

void run_waiting(const std::function<void()>& call) {
  if (!call) return;
  // A call from inside a wait (a timer or queued call that the nested loop delivered), or
  // from off the UI thread, runs in place: two waiting actions never overlap.
  if (waiting || !on_ui_thread()) {
    call();
    return;
  }

  WaitingFlag flag;
  BusyCursor cursor;
  QEventLoop loop;
  std::atomic<bool> done{false};
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      call();
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // The loop may also end when the application is asked to quit; the call still has to
  // finish before its caller's data goes, so the wait goes on until it has.
  while (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace miaohui
