#include "picture/waiting.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace miaohui {

namespace {

std::atomic<bool> waiting{false};
// Held for the length of every call, so that two calls never run at the same time.
std::mutex call_mutex;

void run_alone(const std::function<void()>& call) {
  std::lock_guard guard(call_mutex);
  call();
}

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
  // from off the UI thread, runs in place once the running call has finished: two calls
  // never overlap, and no wait nests in another.
  if (waiting || !on_ui_thread()) {
    run_alone(call);
    return;
  }

  WaitingFlag flag;
  BusyCursor cursor;
  QEventLoop loop;
  std::atomic<bool> done{false};
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      run_alone(call);
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  // The loop also ends, and no new one runs, once the application has been asked to quit;
  // the call may still be using its caller's data, so the wait goes on, blocked, until it
  // has finished.
  worker.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace miaohui
